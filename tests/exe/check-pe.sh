#!/bin/sh
# Checks that the built exe loads on a stock Windows 2000 SP4, XP and 2003
# and carries the hardening flags: the PE header, the DLLs and functions it
# imports, its size.
# usage: check-pe.sh NAME.exe
set -u
exe=$1
failures=0
check() {  # check WHAT EXPECTED SEEN
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected '$2', saw '$3'"; failures=$((failures + 1)); fi
}
headers=$(i686-w64-mingw32-objdump -p "$exe")
field() { echo "$headers" | awk -v name="$1" '$1 == name { print $2; exit }'; }

check "PE32 for i386" "pei-i386 010b" "$(echo "$headers" | grep -o 'file format [a-z0-9-]*' | cut -d' ' -f3) $(field Magic)"
check "GUI subsystem" "00000002" "$(field Subsystem)"
check "subsystem version 5.00, as Windows 2000 requires" "5.0" "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)"
check "OS version 5.00" "5.0" "$(field MajorOSystemVersion).$(field MinorOSystemVersion)"
characteristics=$((0x$(field DllCharacteristics)))
check "ASLR (dynamic base)" 64 $((characteristics & 0x40))
check "DEP (NX compatible)" 256 $((characteristics & 0x100))
check "relocations kept, so ASLR can move it" ".reloc" \
    "$(i686-w64-mingw32-objdump -h "$exe" | grep -o '\.reloc' | head -1)"
check "no delay-loaded DLL" "00000000" \
    "$(echo "$headers" | awk '/Delay Import Directory/ { print $3; exit }')"

# "DLL: function" for every import.
imports=$(echo "$headers" | awk '
    /DLL Name:/ { dll = toupper($3); next }
    /^$/ { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +/ { print dll ": " $3 }')
dlls=$(echo "$imports" | cut -d: -f1 | sort -u | xargs)
echo "   imports from: $dlls"
echo "$imports" | sed "s/^/   import /"
check "only DLLs of a stock Windows 2000" "" \
    "$(echo "$dlls" | xargs -n1 | grep -v -x -E '(KERNEL32|USER32|GDI32|ADVAPI32|OLE32|OLEAUT32|MSVCRT|COMCTL32|SHELL32)\.DLL' | xargs)"
# crypt32 is on every Windows, but loaded at every start it costs time the
# window waits for, and an imported DLL is looked for in the exe's folder
# first: the program loads it from the system folder when Next needs it.
check "crypt32 loaded when needed, not imported" "" "$(echo "$dlls" | xargs -n1 | grep -x CRYPT32.DLL)"
# Functions that Vista and later added. SetDllDirectory is missing from XP
# before SP1 and must be looked up at run time rather than imported.
vista='Fls[A-Z]|GetTickCount64|SRWLock|ConditionVariable|InitOnce|InitializeCriticalSectionEx|LocaleName|GetLocaleInfoEx|CompareStringEx|LCMapStringEx|SetDefaultDllDirectories|AddDllDirectory|RemoveDllDirectory|SetDllDirectory|GetFileInformationByHandleEx|SetFileInformationByHandle|Create(Event|Mutex|Semaphore)Ex|SetThreadErrorMode|GetErrorMode|QueryFullProcessImageName|CancelIoEx|InterlockedCompareExchange64|GetCurrentProcessorNumber|GetSystemTimePreciseAsFileTime|GetThreadId|CreateSymbolicLink|GetFinalPathNameByHandle|rand_s|_set_invalid_parameter_handler'
# Functions that XP and 2003 added over Windows 2000 SP4 and that a C/C++
# runtime likes to call, the activation-context family and msvcrt's locale
# helpers among them, and crypt32's base64 conversions.
xp='EncodePointer|DecodePointer|GetModuleHandleEx|AddVectoredExceptionHandler|RemoveVectoredExceptionHandler|InitializeSListHead|Interlocked(Push|Pop|Flush)EntrySList|InterlockedFlushSList|QueryDepthSList|GetNativeSystemInfo|IsWow64Process|GetSystemTimes|GetProcessId|AttachConsole|HeapSetInformation|GetLogicalProcessorInformation|ActCtx|RtlCaptureContext|PrintWindow|GetLayeredWindowAttributes|___lc_codepage_func|___mb_cur_max_func|CryptStringToBinary|CryptBinaryToString'
check "no function that Windows 2000 lacks" "" "$(echo "$imports" | grep -E "$vista|$xp" | xargs)"

size=$(wc -c < "$exe")
echo "   size: $size bytes"
check "at most 192 KiB with the banner inside" yes "$([ "$size" -le 196608 ] && echo yes || echo "no, $size")"

echo "pe: $failures failed"
[ "$failures" -eq 0 ]
