// The system's six windows as the program creates them, with the settings
// kept under a registry key of the test's own that is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/SystemWindows.h"
#include "app/ihmMain.h"
#include "framework/Application.h"
#include "framework/Registry.h"
#include "model/unitProcessKillFile.h"
#include "settings/ihmOptions.h"

class SystemTest : public ::testing::Test {
protected:
    static std::string TestKey() { return "Software\\SkarnValeSystemTest-" + std::to_string(GetCurrentProcessId()); }

    void SetUp() override
    {
        DeleteTestKey();
        DeleteFileA(GetKillListFileName().c_str());
        application = std::make_unique<TApplication>("SystemTest");
        Application = application.get();
        windows = std::make_unique<TSystemWindows>();
        ihmMain->Store.Key = "\\" + TestKey();
    }
    void TearDown() override
    {
        windows.reset();
        Application = nullptr;
        application.reset();
        DeleteTestKey();
        DeleteFileA(GetKillListFileName().c_str());
    }

    TRegistryIniFile Ini() { return TRegistryIniFile("\\" + TestKey()); }

    static void DeleteTestKey()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, TestKey().c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            char name[256];
            while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS)
                RegDeleteKeyA(key, name);
            RegCloseKey(key);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, TestKey().c_str());
    }

    std::unique_ptr<TApplication> application;
    std::unique_ptr<TSystemWindows> windows;
};
