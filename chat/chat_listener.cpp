// The chat listener and the chat sockets.
#include "app/main_window.h"

namespace vask {

// The chat session arrives later; until then nothing listens.
void MainWindow::StartChatListener() {}
void MainWindow::CloseChatSockets() {}

}  // namespace vask
