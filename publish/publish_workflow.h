#pragma once
// Publishing on the "Vask" page: connecting with its probe and delay,
// copying the page file, and the one-click online and offline sequences.
namespace vask {

class MainWindow;

// Connects and logs in when the control connection is closed, otherwise
// disconnects.
void ToggleFtpConnection(MainWindow& window);
// Uploads the page file, or downloads the remote file ("To Local System").
void CopyPageFile(MainWindow& window);

// Delays a connection may wait, in seconds.
inline constexpr int kMinDelay = 1;
inline constexpr int kMaxDelay = 20;

}  // namespace vask
