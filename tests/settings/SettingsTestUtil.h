// Helpers of the settings tests: a fresh program folder per test, and whole INI files.
#pragma once

#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>

class SettingsTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(const char* name) const { return m_dir + name; }
    std::string ReadText(const char* name) const;
    void WriteText(const char* name, const std::string& text) const;
    // Copies a shipped syntax template into the folder's STF directory.
    void CopyTemplate(const char* name, const char* as = nullptr) const;

    std::string m_dir; // with a trailing backslash
};

// The INI text of one file under the given folder (empty when missing).
std::string ReadWholeFile(const std::string& path);
