#pragma once
// The window's socket objects: one per TCP endpoint of the program.
#include <memory>
#include <vector>

#include "net/socket.h"

namespace vask {

struct WindowSockets {
    explicit WindowSockets(EventLoop& loop)
        : vaskSocket1(loop), vaskSocket2(loop), keluSocket1(loop), httpSocket1(loop),
          chatSocket1(loop) {
        chatSocket2.push_back(std::make_unique<Socket>(loop, 0));
    }
    Socket vaskSocket1;  // FTP control connection
    Socket vaskSocket2;  // FTP data connection
    Socket keluSocket1;  // friend page fetch
    Socket httpSocket1;  // own page check
    Socket chatSocket1;  // outgoing chat
    // Element 0 listens for chat calls; further elements are added as they come.
    std::vector<std::unique_ptr<Socket>> chatSocket2;
};

}  // namespace vask
