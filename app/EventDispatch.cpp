#include "app/EventDispatch.h"

#include <cstdint>
#include <new>
#include <string>

namespace {

std::wstring SignedDecimal(std::int32_t number) {
    // Widened first: the magnitude of INT32_MIN does not fit 32 bits.
    std::int64_t n = number;
    const bool negative = n < 0;
    if (negative) n = -n;
    std::wstring text;
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return negative ? L"-" + text : text;
}

constexpr int kCriticalIcon = 16;

}  // namespace

void ReportError(Platform& platform, const Error& error) {
    platform.MsgBox(L"运行时错误 '" + SignedDecimal(error.Number()) + L"':\r\n\r\n" +
                        error.Description(),
                    kCriticalIcon);
}

void EventDispatch::Start() {
    Run(&CerImport::Form_Load);
    if (Ended()) return;
    form_.Show();
    shown_ = true;
}

void EventDispatch::Click(ControlName control) {
    // Every click handler ends the run, so one is all a run ever takes: a
    // second click already queued, or posted while a message box runs its
    // modal loop, is dropped.
    if (!shown_ || clicked_ || Ended()) return;
    if (control == cmdNext) {
        clicked_ = true;
        Run(&CerImport::cmdNext_Click);
    } else if (control == cmdExit) {
        clicked_ = true;
        Run(&CerImport::cmdExit_Click);
    }
}

void EventDispatch::Run(void (CerImport::*handler)()) {
    try {
        try {
            (window_.*handler)();
        } catch (const std::bad_alloc&) {
            throw Error(7, L"内存溢出");
        }
    } catch (const Error& e) {
        failed_ = true;
        // The program is ending: nothing of it stays clickable behind the report.
        form_.Hide();
        ReportError(platform_, e);
        if (form_.IsLoaded()) {
            try {
                form_.Unload();
            } catch (const Error&) {
                // Ended() is already true; the message loop stops regardless.
            }
        }
    }
}
