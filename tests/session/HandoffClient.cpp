// A bare hand-off client for the start-up tests: connects to a running copy's socket, hands
// over one path and waits for the answer. Exit status: 0 answered, 2 could not connect,
// 3 no answer. Plain POSIX, so that it can run as another user without Qt.

#include <arpa/inet.h>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, argv[1], sizeof address.sun_path - 1);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return 2;
    }
    const std::string path = argv[2];
    const std::uint32_t head[2] = {htonl(1337), htonl(static_cast<std::uint32_t>(path.size()))};
    std::string message(reinterpret_cast<const char*>(head), sizeof head);
    message += path;
    if (::write(fd, message.data(), message.size()) != static_cast<ssize_t>(message.size())) {
        return 3;
    }
    char answer = 0;
    return ::read(fd, &answer, 1) == 1 && answer == 0x06 ? 0 : 3;
}
