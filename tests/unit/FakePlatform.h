#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "install/ControlStatus.h"
#include "platform/Error.h"
#include "platform/Platform.h"

// Recording fakes of the platform. Every call lands in one ordered log, so a
// test can assert the order of hide, create, install, boxes, unload, release.
struct Log {
    std::vector<std::wstring> events;
    void Add(std::wstring event) { events.push_back(std::move(event)); }
};

class FakeForm : public Form {
public:
    explicit FakeForm(Log& log) : log_(log) {}

    void Hide() override {
        log_.Add(L"hide");
        visible = false;
    }
    void Unload() override {
        log_.Add(L"unload");
        if (unloadError) throw *unloadError;
        loaded = false;
        visible = false;
    }
    bool IsLoaded() const override { return loaded; }
    void Show() override {
        log_.Add(L"show");
        visible = true;
    }

    bool loaded = true;
    bool visible = false;
    std::optional<Error> unloadError;

private:
    Log& log_;
};

class FakeEnrollment : public Enrollment {
public:
    FakeEnrollment(Log& log, std::int32_t status, std::wstring& received)
        : log_(log), status_(status), received_(received) {}
    ~FakeEnrollment() override { log_.Add(L"release"); }

    void InstallPKCS7(const std::wstring& pkcs7) override {
        log_.Add(L"install");
        received_ = pkcs7;
        // The product's rule, so that the statuses of the table reach it.
        if (ControlFailed(status_)) throw Error(status_, L"control's description");
    }

private:
    Log& log_;
    std::int32_t status_;
    std::wstring& received_;
};

class FakePlatform : public Platform {
public:
    FakePlatform(Log& log, const FakeForm& form) : log_(log), form_(form) {}

    std::uint32_t GetVersion() override {
        ++versionQueries;
        return version;
    }
    std::wstring DecimalSeparator() override { return separator; }
    void MsgBox(std::wstring_view prompt, int buttons,
                std::optional<std::wstring_view> title) override {
        std::wstring event = L"box:" + std::wstring(prompt) + L"|" + std::wstring(title.value_or(L"<none>"));
        if (buttons != 0) event += L"|buttons " + std::to_wstring(buttons);
        if (form_.visible) event += L"|WINDOW VISIBLE";
        log_.Add(event);
    }
    std::unique_ptr<Enrollment> CreateEnroll() override {
        log_.Add(L"create");
        if (createError) throw *createError;
        return std::make_unique<FakeEnrollment>(log_, installStatus, installed);
    }

    // What the next calls answer.
    std::uint32_t version = 0x0A280105;  // XP SP2: build 2600, 5.1
    std::wstring separator = L".";
    std::int32_t installStatus = 0;
    std::optional<Error> createError;

    // What the calls received.
    int versionQueries = 0;
    std::wstring installed;

private:
    Log& log_;
    const FakeForm& form_;
};
