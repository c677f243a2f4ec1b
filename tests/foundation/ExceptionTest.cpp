// The exception's message and its snapshot of the last system error (the code and the system's
// text for it) are kept apart.
#include <gtest/gtest.h>

#include "SystemText.h"
#include "common/Exception.h"
#include "platform/Windows.h"

using Common::Exception;

TEST(Exception, SnapshotIsTakenAtConstruction)
{
    SetLastError(ERROR_ACCESS_DENIED);
    Exception e(L"File couldn't be saved.");
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(e.Message(), L"File couldn't be saved.");
    EXPECT_EQ(e.Detail().code, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(e.Detail().text.empty());
    EXPECT_EQ(e.Detail().text, SystemText(ERROR_ACCESS_DENIED));
}

TEST(Exception, CodeZeroCarriesItsText)
{
    SetLastError(0);
    Exception e(L"");
    EXPECT_TRUE(e.Message().empty());
    EXPECT_EQ(e.Detail().code, 0u);
    EXPECT_FALSE(e.Detail().text.empty());
    EXPECT_EQ(e.Detail().text, SystemText(0));
}

TEST(Exception, UnknownCodeGivesEmptyTextAndStillBuilds)
{
    SetLastError(0x20001234);
    Exception e(L"message");
    EXPECT_EQ(e.Detail().code, 0x20001234u);
    EXPECT_TRUE(e.Detail().text.empty());
    EXPECT_EQ(e.Message(), L"message");
}

TEST(Exception, CopiesAreIndependentAndCatchableByConstReference)
{
    SetLastError(ERROR_DISK_FULL);
    try {
        throw Exception(L"File couldn't be saved.");
    } catch (const Exception& caught) {
        Exception copy = caught;
        EXPECT_EQ(copy.Message(), L"File couldn't be saved.");
        EXPECT_EQ(copy.Detail().code, static_cast<DWORD>(ERROR_DISK_FULL));
    }
}
