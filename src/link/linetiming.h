#pragma once
// The line's timing: every tick and reply time-out is a base divided by the
// index of the chosen line speed plus one (0 for 1200 baud .. 5 for 38400).

namespace krv::Base {

constexpr int PollTick = 1200;  // polling and the editors' sweep
constexpr int PollReply = 1150; // reply time-out while polling and in the editors
constexpr int ScanTick = 800;
constexpr int ScanReply = 700;

} // namespace krv::Base
