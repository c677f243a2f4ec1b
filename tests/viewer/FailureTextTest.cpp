// The wording of failures in the log box and in the fatal message: the message, then the
// system's reason where it gave one.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "platform/Windows.h"
#include "viewer/FailureText.h"

TEST(FailureText, SystemReasonFollowsTheMessageOnlyWhenTheSystemGaveOne)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    Common::Exception missing(L"File couldn't be loaded.");
    EXPECT_EQ(Morvane::FailureLogText(missing),
              L"File couldn't be loaded.\nThe system cannot find the file specified.");
    EXPECT_EQ(Morvane::FatalFailureText(missing),
              L"File couldn't be loaded.\nError 2: The system cannot find the file specified.");

    // A compiler's log ends in a line feed and comes with no system error at all.
    SetLastError(0);
    Common::Exception compile(L"0:1(6): error: syntax error\n");
    EXPECT_EQ(Morvane::FatalFailureText(compile), L"0:1(6): error: syntax error");

    SetLastError(ERROR_ACCESS_DENIED);
    Common::Exception unnamed{std::wstring()};
    EXPECT_EQ(Morvane::FatalFailureText(unnamed), L"An operation failed.\nError 5: Access is denied.");
}
