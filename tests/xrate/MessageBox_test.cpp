#include "support/MessageBoxRecorder.h"
#include "xrate/MessageBox.h"

#include <gtest/gtest.h>

using testsupport::MessageBoxRecorder;

TEST(MessageBox, RecorderSeesOwnerTextCaptionTypeAndDetail)
{
    MessageBoxRecorder recorder;
    int owner = 0;
    EXPECT_EQ(ShowMessageBox(&owner, "Failed to transmit", "Tamsel::ComSend", kMbOk), kIdOk);
    ShowMessageBox(nullptr, "Odd", "Binary Translate Alart", kMbIconExclamation, "why");

    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0].owner, &owner);
    EXPECT_EQ(recorder.calls[0].text, "Failed to transmit");
    EXPECT_EQ(recorder.calls[0].caption, "Tamsel::ComSend");
    EXPECT_EQ(recorder.calls[0].type, kMbOk);
    EXPECT_EQ(recorder.calls[0].detail, "");
    EXPECT_EQ(recorder.calls[1].owner, nullptr);
    EXPECT_EQ(recorder.calls[1].type, 48u);
    EXPECT_EQ(recorder.calls[1].detail, "why");
}

TEST(MessageBox, NestedRecorderRestoresTheOuterOneWhenItGoes)
{
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        ShowMessageBox(nullptr, "inner", "c", kMbOk);
        EXPECT_EQ(inner.calls.size(), 1u);
    }
    ShowMessageBox(nullptr, "outer", "c", kMbOk);
    ASSERT_EQ(outer.calls.size(), 1u);
    EXPECT_EQ(outer.calls[0].text, "outer");
}

TEST(MessageBox, WithoutHandlerTheMessageGoesToStandardError)
{
    MessageBoxHandler saved = SetMessageBoxHandler({});
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox(nullptr, "Failed to transmit", "Tamsel::ComSend", kMbOk, "EIO"),
              kIdOk);
    const std::string printed = testing::internal::GetCapturedStderr();
    SetMessageBoxHandler(std::move(saved));
    EXPECT_EQ(printed, "Tamsel::ComSend: Failed to transmit\n  (EIO)\n");
}
