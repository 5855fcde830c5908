#include "MockedDevices.h"

#include "support/MessageBoxRecorder.h"
#include "view/CChildView.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

// The window's side: udev's event reaches the view through its event loop,
// the port reopens under the new node and the line-state signal says so.
// The periodic check is put out of reach, so only the event can do it.
TEST(ViewFollowsDevice, ReopensTheReplugAsUdevAnnouncesIt)
{
    testsupport::MessageBoxRecorder boxes;
    testsupport::MockedDevices bed;
    ASSERT_TRUE(bed.Add("machine.umockdev"));
    ASSERT_TRUE(bed.Add("ftdi-socket2.umockdev"));
    LineTimings timings;
    timings.port.closeWaitMs = 0;
    timings.pump.startWaitMs = 0;
    timings.pump.lineCheckMs = 600000;
    CChildView view(timings);
    std::vector<int> states;
    QObject::connect(&view.Session(), &LineSession::lineStateChanged, [&states](int state) { states.push_back(state); });
    ASSERT_EQ(view.Session().ComReopen("\\\\.\\COM5", 115200), 0);

    bed.Unplug("/dev/ttyUSB0", "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0",
               "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2");
    // The view has shown the loss (not only the port seen it) before the adapter comes back.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !states.empty() && states.back() == static_cast<int>(LineState::kLost); }, 5000));
    ASSERT_TRUE(bed.Add("ftdi-socket3.umockdev"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.Session().GetLineState() == LineState::kReopened; }, 5000));
    ASSERT_TRUE(bed.Send("/dev/ttyUSB1", "back"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.Session().ReceivedBytes() >= 4; }, 5000));
    EXPECT_EQ(states, (std::vector<int>{static_cast<int>(LineState::kOpen), static_cast<int>(LineState::kLost),
                                        static_cast<int>(LineState::kReopened)}));
    EXPECT_TRUE(boxes.calls.empty());
}

} // namespace
