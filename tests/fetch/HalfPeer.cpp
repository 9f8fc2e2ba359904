// A peer that speaks just enough of the peer protocol and its metadata extension to send part
// of a torrent's contents and leave.

#include "tests/fetch/LoopbackSeeder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace lintervale::testing {

namespace {

constexpr std::size_t kPiece = 16 * 1024;
constexpr int kOurMetadataId = 3;

bool ReadExact(int Socket, std::string& Out, std::size_t Bytes) {
    Out.resize(Bytes);
    std::size_t done = 0;
    while (done < Bytes) {
        const ssize_t got = ::recv(Socket, Out.data() + done, Bytes - done, 0);
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteAll(int Socket, std::string_view Bytes) {
    while (!Bytes.empty()) {
        const ssize_t sent = ::send(Socket, Bytes.data(), Bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        Bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::string BigEndian(std::uint32_t Value) {
    return {static_cast<char>(Value >> 24), static_cast<char>(Value >> 16),
            static_cast<char>(Value >> 8), static_cast<char>(Value)};
}

std::string Extended(int Id, std::string_view Payload) {
    return BigEndian(static_cast<std::uint32_t>(Payload.size() + 2)) + char(20) +
           static_cast<char>(Id) + std::string(Payload);
}

// The number after Key ("5:piecei") in a bencoded dictionary; -1 when it is not there.
long NumberAfter(std::string_view Text, std::string_view Key) {
    const std::size_t at = Text.find(Key);
    if (at == std::string_view::npos) {
        return -1;
    }
    return std::strtol(std::string(Text.substr(at + Key.size(), 20)).c_str(), nullptr, 10);
}

std::string RawHash(const std::string& Hex) {
    std::string raw;
    for (std::size_t i = 0; i + 1 < Hex.size(); i += 2) {
        raw += static_cast<char>(std::stoi(Hex.substr(i, 2), nullptr, 16));
    }
    return raw;
}

} // namespace

THalfPeer::THalfPeer(std::string Info, std::string HashV1, int Pieces)
    : m_Info(std::move(Info)), m_HashV1(std::move(HashV1)), m_Pieces(Pieces) {
    m_Listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_Listener < 0 || ::bind(m_Listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(m_Listener, 1) != 0 ||
        ::getsockname(m_Listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("the half peer cannot listen");
    }
    m_Peer = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    m_Thread = std::thread([this] { Serve(); });
}

THalfPeer::~THalfPeer() {
    Leave();
    ::close(m_Listener);
}

bool THalfPeer::WaitSent(std::chrono::seconds Limit) {
    std::unique_lock lock(m_Mutex);
    return m_Changed.wait_for(lock, Limit, [this] { return m_Sent; });
}

void THalfPeer::Leave() {
    {
        const std::lock_guard lock(m_Mutex);
        m_Leave = true;
    }
    m_Changed.notify_all();
    // Ends a wait for a connection that never came.
    ::shutdown(m_Listener, SHUT_RDWR);
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
}

void THalfPeer::Serve() {
    const int connection = ::accept4(m_Listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) {
        // No second connection: the peer is gone for good once it leaves.
        ::shutdown(m_Listener, SHUT_RDWR);
        timeval limit{30, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        std::string handshake;
        std::string reserved(8, '\0');
        reserved[5] = 0x10; // the extension protocol
        const std::string metadata = "d1:md11:ut_metadatai" + std::to_string(kOurMetadataId) +
                                     "ee13:metadata_sizei" + std::to_string(m_Info.size()) + "ee";
        bool going =
            ReadExact(connection, handshake, 68) &&
            WriteAll(connection, "\x13"
                                 "BitTorrent protocol" +
                                     reserved + RawHash(m_HashV1) + "-HP0001-half-peer-01") &&
            WriteAll(connection, Extended(0, metadata));
        long theirId = -1;
        int sent = 0;
        std::string length;
        std::string message;
        while (going && sent < m_Pieces && ReadExact(connection, length, 4)) {
            const auto size =
                static_cast<std::uint32_t>((static_cast<unsigned char>(length[0]) << 24) |
                                           (static_cast<unsigned char>(length[1]) << 16) |
                                           (static_cast<unsigned char>(length[2]) << 8) |
                                           static_cast<unsigned char>(length[3]));
            if (size > (1u << 20) || !ReadExact(connection, message, size)) {
                break;
            }
            if (size < 2 || message[0] != 20) {
                continue;
            }
            const std::string_view body = std::string_view(message).substr(2);
            if (message[1] == 0) {
                theirId = NumberAfter(body, "11:ut_metadatai");
            } else if (message[1] == kOurMetadataId && theirId > 0 &&
                       NumberAfter(body, "8:msg_typei") == 0) {
                const long piece = NumberAfter(body, "5:piecei");
                const std::size_t start = static_cast<std::size_t>(piece) * kPiece;
                if (piece < 0 || start >= m_Info.size()) {
                    break;
                }
                const std::string header = "d8:msg_typei1e5:piecei" + std::to_string(piece) +
                                           "e10:total_sizei" + std::to_string(m_Info.size()) + "ee";
                going = WriteAll(connection, Extended(static_cast<int>(theirId),
                                                      header + m_Info.substr(start, kPiece)));
                ++sent;
            }
        }
        {
            std::unique_lock lock(m_Mutex);
            m_Sent = true;
            m_Changed.notify_all();
            m_Changed.wait(lock, [this] { return m_Leave; });
        }
        // What was sent arrives before the end: the peer closes its side and waits for the
        // other to close too.
        ::shutdown(connection, SHUT_WR);
        while (ReadExact(connection, message, 1)) {
        }
        ::close(connection);
    }
}

} // namespace lintervale::testing
