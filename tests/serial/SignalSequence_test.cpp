// Reset sequences as a person writes them: every form read, every fault
// named, and the text written back reads as the same steps.
#include "serial/SignalSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SequenceCase {
    const char* text;
    const char* read;  // the sequence written back, or the error
};

const SequenceCase kRead[] = {
    {kDefaultResetSequence, "dtr off, rts off, 250, dtr on, rts on"},
    {"DTR On,RTS OFF , 100ms,rts on", "dtr on, rts off, 100, rts on"},
    {" 0 ms , dtr\ton ", "0, dtr on"},
    {"10000", "10000"},
};

class SequenceRead : public testing::TestWithParam<SequenceCase> {};

TEST_P(SequenceRead, IntoStepsThatWriteBackTheSame)
{
    std::vector<SignalStep> steps;
    std::string error;
    ASSERT_EQ(ReadSignalSequence(GetParam().text, steps, error), 0) << error;
    const std::string text = SignalSequenceText(steps);
    EXPECT_EQ(text, GetParam().read);
    std::vector<SignalStep> again;
    ASSERT_EQ(ReadSignalSequence(text, again, error), 0) << error;
    EXPECT_EQ(SignalSequenceText(again), text);
}

INSTANTIATE_TEST_SUITE_P(Table, SequenceRead, testing::ValuesIn(kRead));

#define FORMS " is not dtr on|off, rts on|off or a pause from 0 to 10000 ms"

const SequenceCase kRejected[] = {
    {"", "an empty item in the sequence"},
    {"dtr on,,rts on", "an empty item in the sequence"},
    {"dtr on,", "an empty item in the sequence"},
    {"dtr", "'dtr'" FORMS},
    {"dtr high", "'dtr high'" FORMS},
    {"cts on", "'cts on'" FORMS},
    {"10001", "'10001'" FORMS},
    {"-5", "'-5'" FORMS},
    {"100 s", "'100 s'" FORMS},
    {"ms", "'ms'" FORMS},
    {"dtr on rts on", "'dtr on rts on'" FORMS},
};

class SequenceRejected : public testing::TestWithParam<SequenceCase> {};

TEST_P(SequenceRejected, NamingTheItemAtFaultAndKeepingTheOldSteps)
{
    std::vector<SignalStep> steps(1);
    steps[0].pauseMs = 7;
    std::string error;
    EXPECT_EQ(ReadSignalSequence(GetParam().text, steps, error), -1);
    EXPECT_EQ(error, GetParam().read);
    EXPECT_EQ(SignalSequenceText(steps), "7");
}

INSTANTIATE_TEST_SUITE_P(Table, SequenceRejected, testing::ValuesIn(kRejected));

TEST(SequenceLength, StopsAtTheLongestSequence)
{
    std::string text = "0";
    for (int i = 1; i < kMaxSignalSteps; ++i)
        text += ",0";
    std::vector<SignalStep> steps;
    std::string error;
    EXPECT_EQ(ReadSignalSequence(text, steps, error), 0) << error;
    EXPECT_EQ(ReadSignalSequence(text + ",0", steps, error), -1);
    EXPECT_EQ(error, "more than 32 items in the sequence");
}

} // namespace
