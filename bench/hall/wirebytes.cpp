// The bytes a TCP socket has taken from the network, from the kernel's own count: apart from the
// rest of the benchmark, since Linux's header of it and the C library's, which Asio includes,
// cannot meet in one file.
#include <cstdint>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>

std::uint64_t wirebytes(int fd) {
    tcp_info info{};
    socklen_t size = sizeof info;
    return ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 ? info.tcpi_bytes_received
                                                                      : 0;
}
