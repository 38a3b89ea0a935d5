// A stand-in for the Certificate Enrollment Control on machines that lack it
// (Wine). It registers the CEnroll class and implements ICEnroll4 through the
// real vtable of xenroll.h; every method answers E_NOTIMPL except
// InstallPKCS7, which does for a certificates-only PKCS #7 what the control
// does: a self-signed certificate goes to the current user's Root store after
// the user agrees, any other to CA. For the cases it can refuse interfaces,
// as an older control does, and wait on the test before asking and before
// returning (see "the test's settings"). Test and development use only.
#define CINTERFACE
#include <windows.h>
#include <wincrypt.h>
#include <xenroll.h>
#include <olectl.h>

#include <cstdio>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/EnrollmentIds.h"

namespace {

constexpr wchar_t kClsidText[] = L"{43F8F289-7A20-11D0-8F06-00C04FC295E1}";
constexpr IID kIidICEnroll = {
    0x43F8F288, 0x7A20, 0x11D0, {0x8F, 0x06, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xE1}};
constexpr IID kIidICEnroll2 = {
    0x704CA730, 0xC90B, 0x11D1, {0x9B, 0xEC, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xE1}};

HMODULE g_module;
LONG g_live;  // objects and server locks keeping the DLL loaded

// ---- E_NOTIMPL for every method, each popping its own arguments ----------

template <class R, class... A>
R STDMETHODCALLTYPE NotImplementedMethod(A...) {
    return E_NOTIMPL;
}

// Converts to any method pointer type of the vtable, so that one expression
// fills every slot with a stub of exactly that slot's signature: stdcall
// callees clean their own arguments, so a shared stub would corrupt the stack.
struct NotImplemented {
    template <class R, class... A>
    using Method = R(STDMETHODCALLTYPE*)(A...);
    template <class R, class... A>
    operator Method<R, A...>() const {
        return &NotImplementedMethod<R, A...>;
    }
};

template <class Vtbl, std::size_t... Slot>
Vtbl AllNotImplemented(std::index_sequence<Slot...>) {
    return {((void)Slot, NotImplemented{})...};
}

template <class Vtbl>
Vtbl AllNotImplemented() {
    return AllNotImplemented<Vtbl>(std::make_index_sequence<sizeof(Vtbl) / sizeof(void*)>());
}

// ---- what InstallPKCS7 does --------------------------------------------------

std::wstring SystemText(HRESULT status) {
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer ? buffer : L"";
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text.empty() ? L"证书安装失败" : text;
}

HRESULT LastStatus() {
    return HRESULT_FROM_WIN32(GetLastError());
}

// The warning Windows itself shows before a root certificate is trusted.
bool UserAgrees(PCCERT_CONTEXT cert) {
    wchar_t subject[512] = L"";
    CertNameToStrW(X509_ASN_ENCODING, &cert->pCertInfo->Subject, CERT_SIMPLE_NAME_STR, subject, 512);
    BYTE hash[20];
    DWORD size = sizeof hash;
    std::wstring thumbprint;
    if (CertGetCertificateContextProperty(cert, CERT_SHA1_HASH_PROP_ID, hash, &size)) {
        for (DWORD i = 0; i < size; ++i) {
            wchar_t hex[4];
            swprintf(hex, 4, L"%02X", hash[i]);
            thumbprint += (i && i % 4 == 0 ? L" " : L"") + std::wstring(hex);
        }
    }
    const std::wstring text = std::wstring(L"您即将从一个声称代表如下的证书颁发机构安装证书：\n\n") + subject +
                              L"\n\nWindows 不能确认证书是否来自该机构。指纹 (sha1)：\n" + thumbprint +
                              L"\n\n您想安装此证书吗？";
    return MessageBoxW(nullptr, text.c_str(), L"安全性警告", MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool DeclineSucceeds();

HRESULT AddToStore(PCCERT_CONTEXT cert) {
    const bool selfSigned = CertCompareCertificateName(X509_ASN_ENCODING, &cert->pCertInfo->Subject,
                                                       &cert->pCertInfo->Issuer) != FALSE;
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                                     selfSigned ? L"Root" : L"CA");
    if (!store) return LastStatus();
    HRESULT status = S_OK;
    // A root already trusted is kept as it is, and nothing is asked.
    PCCERT_CONTEXT present = CertFindCertificateInStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                                        CERT_FIND_EXISTING, cert, nullptr);
    if (present) {
        CertFreeCertificateContext(present);
    } else if (selfSigned && !UserAgrees(cert)) {
        status = DeclineSucceeds() ? S_OK : HRESULT_FROM_WIN32(ERROR_CANCELLED);
    } else if (!CertAddCertificateContextToStore(store, cert, CERT_STORE_ADD_USE_EXISTING, nullptr)) {
        status = LastStatus();
    }
    CertCloseStore(store, 0);
    return status;
}

HRESULT Install(BSTR pkcs7) {
    DWORD size = 0;
    if (!pkcs7 || !CryptStringToBinaryW(pkcs7, 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return LastStatus();
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryW(pkcs7, 0, CRYPT_STRING_BASE64, der.data(), &size, nullptr, nullptr))
        return LastStatus();

    CRYPT_DATA_BLOB blob = {size, der.data()};
    HCERTSTORE message = CertOpenStore(CERT_STORE_PROV_PKCS7, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                       0, &blob);
    if (!message) return LastStatus();
    HRESULT status = CRYPT_E_NOT_FOUND;  // a structure without certificates
    PCCERT_CONTEXT cert = nullptr;
    while ((cert = CertEnumCertificatesInStore(message, cert))) {
        status = AddToStore(cert);
        if (FAILED(status)) {
            CertFreeCertificateContext(cert);
            break;
        }
    }
    CertCloseStore(message, 0);
    return status;
}

// The description the caller reads back with GetErrorInfo.
void SetDescription(HRESULT status) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create))) return;
    std::wstring text = SystemText(status);
    create->lpVtbl->SetDescription(create, text.data());
    create->lpVtbl->SetGUID(create, kIidICEnroll4);
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->lpVtbl->QueryInterface(create, IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->lpVtbl->Release(info);
    }
    create->lpVtbl->Release(create);
}

// Each call, for the record of a test run, where CENROLL_STANDIN_LOG names a file.
void Log(const char* call, const char* argument, HRESULT status) {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"CENROLL_STANDIN_LOG", path, MAX_PATH)) return;
    if (FILE* log = _wfopen(path, L"a")) {
        std::fprintf(log, "%s(%s) = 0x%08lX\n", call, argument, static_cast<unsigned long>(status));
        std::fclose(log);
    }
}

// ---- the test's settings ---------------------------------------------------------

// CENROLL_STANDIN_REFUSE lists interfaces to answer E_NOINTERFACE for, as a
// control older than ICEnroll4 does ("ICEnroll4", or "ICEnroll4,ICEnroll3").
bool Refused(const char* name) {
    char list[128] = "";
    if (!GetEnvironmentVariableA("CENROLL_STANDIN_REFUSE", list, sizeof list)) return false;
    const std::string refused = std::string(",") + list + ",";
    return refused.find(std::string(",") + name + ",") != std::string::npos;
}

// CENROLL_STANDIN_ON_NO=succeed answers S_OK when the user declines the root,
// leaving the store as it was: Microsoft documents that the real control does
// not fail when the user declines to put a root in Root.
bool DeclineSucceeds() {
    char setting[16] = "";
    return GetEnvironmentVariableA("CENROLL_STANDIN_ON_NO", setting, sizeof setting) &&
           std::string(setting) == "succeed";
}

// CENROLL_STANDIN_ON_SUCCESS=s_false answers S_FALSE for an install that
// worked: a success all the same, as COM counts it, which a caller that took
// only S_OK for success would report as a failure.
bool SuccessIsSFalse() {
    char setting[16] = "";
    return GetEnvironmentVariableA("CENROLL_STANDIN_ON_SUCCESS", setting, sizeof setting) &&
           std::string(setting) == "s_false";
}

// CENROLL_STANDIN_WAIT_EVENT names an event the test sets when the control
// may go on: once before it asks, once before it returns. Meanwhile the
// program's window is hidden and it shows no box of its own, as while the
// question of another process is up.
void WaitForTest() {
    wchar_t name[128];
    if (!GetEnvironmentVariableW(L"CENROLL_STANDIN_WAIT_EVENT", name, 128)) return;
    if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name)) {
        WaitForSingleObject(event, 60000);
        CloseHandle(event);
    }
}

// ---- the CEnroll object ----------------------------------------------------------

struct Enroll {
    ICEnroll4 iface;  // first, so that the interface pointer is the object's
    LONG references;
};

ULONG STDMETHODCALLTYPE EnrollAddRef(ICEnroll4* self) {
    return static_cast<ULONG>(InterlockedIncrement(&reinterpret_cast<Enroll*>(self)->references));
}

ULONG STDMETHODCALLTYPE EnrollRelease(ICEnroll4* self) {
    auto* object = reinterpret_cast<Enroll*>(self);
    const LONG left = InterlockedDecrement(&object->references);
    if (left == 0) {
        delete object;
        InterlockedDecrement(&g_live);
    }
    return static_cast<ULONG>(left);
}

struct Interface {
    const IID* iid;
    const char* name;
};
// ICEnroll4 extends ICEnroll3, ICEnroll2, ICEnroll and IDispatch in one vtable.
const Interface kInterfaces[] = {{&IID_IUnknown, "IUnknown"},   {&IID_IDispatch, "IDispatch"},
                                 {&kIidICEnroll, "ICEnroll"},   {&kIidICEnroll2, "ICEnroll2"},
                                 {&kIidICEnroll3, "ICEnroll3"}, {&kIidICEnroll4, "ICEnroll4"}};

const char* NameOf(REFIID iid) {
    for (const Interface& known : kInterfaces)
        if (IsEqualIID(iid, *known.iid)) return known.name;
    return "another interface";
}

HRESULT STDMETHODCALLTYPE EnrollQueryInterface(ICEnroll4* self, REFIID iid, void** out) {
    *out = nullptr;
    for (const Interface& known : kInterfaces) {
        if (!IsEqualIID(iid, *known.iid)) continue;
        if (Refused(known.name)) return E_NOINTERFACE;
        EnrollAddRef(self);
        *out = self;
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EnrollInstallPKCS7(ICEnroll4*, BSTR pkcs7) {
    WaitForTest();
    HRESULT status = Install(pkcs7);
    if (status == S_OK && SuccessIsSFalse()) status = S_FALSE;
    WaitForTest();
    const std::string length = std::to_string(pkcs7 ? SysStringLen(pkcs7) : 0u) + " characters";
    Log("InstallPKCS7", length.c_str(), status);
    if (FAILED(status)) SetDescription(status);
    return status;
}

const ICEnroll4Vtbl kEnrollVtbl = [] {
    ICEnroll4Vtbl v = AllNotImplemented<ICEnroll4Vtbl>();
    v.QueryInterface = EnrollQueryInterface;
    v.AddRef = EnrollAddRef;
    v.Release = EnrollRelease;
    v.InstallPKCS7 = EnrollInstallPKCS7;
    return v;
}();

// ---- class factory ---------------------------------------------------------------

HRESULT STDMETHODCALLTYPE FactoryQueryInterface(IClassFactory* self, REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = self;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

// The factory is static: its references do not count.
ULONG STDMETHODCALLTYPE FactoryAddRef(IClassFactory*) { return 2; }
ULONG STDMETHODCALLTYPE FactoryRelease(IClassFactory*) { return 1; }

HRESULT STDMETHODCALLTYPE FactoryCreateInstance(IClassFactory*, IUnknown* outer, REFIID iid, void** out) {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new (std::nothrow) Enroll{{const_cast<ICEnroll4Vtbl*>(&kEnrollVtbl)}, 1};
    if (!object) return E_OUTOFMEMORY;
    InterlockedIncrement(&g_live);
    const HRESULT status = EnrollQueryInterface(&object->iface, iid, out);
    EnrollRelease(&object->iface);
    Log("CreateInstance", NameOf(iid), status);
    return status;
}

HRESULT STDMETHODCALLTYPE FactoryLockServer(IClassFactory*, BOOL lock) {
    lock ? InterlockedIncrement(&g_live) : InterlockedDecrement(&g_live);
    return S_OK;
}

const IClassFactoryVtbl kFactoryVtbl = {FactoryQueryInterface, FactoryAddRef, FactoryRelease,
                                        FactoryCreateInstance, FactoryLockServer};
IClassFactory g_factory = {const_cast<IClassFactoryVtbl*>(&kFactoryVtbl)};

std::wstring ClassKey() {
    return std::wstring(L"CLSID\\") + kClsidText;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!IsEqualCLSID(clsid, kClsidCEnroll)) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return FactoryQueryInterface(&g_factory, iid, out);
}

STDAPI DllCanUnloadNow() {
    return g_live == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
        {ClassKey(), {nullptr, L"CEnroll Class (stand-in)"}},
        {ClassKey() + L"\\InprocServer32", {nullptr, std::wstring(path, length)}},
        {ClassKey() + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
    };
    for (const auto& [key, value] : values) {
        HKEY handle;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                            nullptr) != ERROR_SUCCESS)
            return SELFREG_E_CLASS;
        const LONG set = RegSetValueExW(handle, value.first, 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(value.second.c_str()),
                                        static_cast<DWORD>((value.second.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        if (set != ERROR_SUCCESS) return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (ClassKey() + L"\\InprocServer32").c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    return S_OK;
}
