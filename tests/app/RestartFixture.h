// A fixture for the tests that start and close the whole program more than once in this
// process: each start with an application object of its own, each end through the main
// window's close, and the bars' records of the tests' settings file forgotten around the suite.
#pragma once

#include "app/App.h"
#include "app/AppMainFrame.h"

#include <gtest/gtest.h>

#include <string>

// The settings file the program of the tests reads, beside the test program.
std::string TestSettingsPath();
// The bars' records and the window's placement go, so that a start begins from the defaults.
void ForgetBarLayout();

class ProgramRestartTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ForgetBarLayout(); }
    static void TearDownTestSuite() { ForgetBarLayout(); }
    void TearDown() override;
    // Starts the program with a new application object (one that ran lives to the end of the
    // process, as the others of the tests do); its main window, or null.
    CAppMainFrame* Start();
    // Closes the main window as the user does, then ends the program.
    void Close();
    // Lets the program work through what it has posted itself.
    void Settle();

    CApp* m_app = nullptr;
};
