/* morv-bench-floor HOST PORT COUNT FROM TO CONTENT_FILE: the floor of the
 * end-to-end benchmark, the best a plain client can do. COUNT messages,
 * one connection each: greeting, HELO, MAIL, RCPT, DATA, then the content
 * and the end of data in one send, QUIT. Exits 0 when every message was
 * taken; 1 with the reason on standard error otherwise. */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

struct reader {
    char buffer[4096];
    size_t length;
};

/* Reads one reply; 1 when its last line carries `code`. */
static int expect(int fd, struct reader *in, const char *code)
{
    for (;;) {
        char *line = in->buffer;
        char *end;
        while ((end = memchr(line, '\n', in->length - (size_t)(line - in->buffer))) != NULL) {
            if (end - line >= 4 && line[3] == ' ') {
                const int ok = strncmp(line, code, 3) == 0;
                in->length -= (size_t)(end + 1 - in->buffer);
                memmove(in->buffer, end + 1, in->length);
                return ok;
            }
            line = end + 1;
        }
        if (in->length == sizeof in->buffer)
            return 0;
        const ssize_t got = recv(fd, in->buffer + in->length, sizeof in->buffer - in->length, 0);
        if (got <= 0)
            return 0;
        in->length += (size_t)got;
    }
}

static int send_all(int fd, const char *data, size_t length)
{
    while (length > 0) {
        const ssize_t sent = send(fd, data, length, MSG_NOSIGNAL);
        if (sent <= 0)
            return 0;
        data += sent;
        length -= (size_t)sent;
    }
    return 1;
}

static int command(int fd, struct reader *in, const char *text, const char *code)
{
    return send_all(fd, text, strlen(text)) && expect(fd, in, code);
}

static int open_connection(const struct sockaddr_in *address)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    if (fd < 0)
        return -1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (connect(fd, (const struct sockaddr *)address, sizeof *address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

static int deliver(const struct sockaddr_in *address, const char *mail, const char *rcpt, const char *content,
                   size_t length)
{
    struct reader in = {.length = 0};
    const int fd = open_connection(address);
    if (fd < 0)
        return 0;
    const int ok = expect(fd, &in, "220") && command(fd, &in, "HELO floor\r\n", "250") &&
                   command(fd, &in, mail, "250") && command(fd, &in, rcpt, "250") &&
                   command(fd, &in, "DATA\r\n", "354") && send_all(fd, content, length) &&
                   expect(fd, &in, "250") && command(fd, &in, "QUIT\r\n", "221");
    close(fd);
    return ok;
}

/* The file's bytes followed by the end of data. */
static char *read_content(const char *path, size_t *length)
{
    static const char END[] = "\r\n.\r\n";
    FILE *file = fopen(path, "rb");
    char *content = NULL;
    long size;
    if (!file)
        return NULL;
    if (fseek(file, 0, SEEK_END) == 0 && (size = ftell(file)) >= 0 && fseek(file, 0, SEEK_SET) == 0 &&
        (content = malloc((size_t)size + sizeof END)) != NULL) {
        *length = fread(content, 1, (size_t)size, file);
        memcpy(content + *length, END, sizeof END);
        *length += sizeof END - 1;
    }
    fclose(file);
    return content;
}

int main(int argc, char **argv)
{
    struct sockaddr_in address = {.sin_family = AF_INET};
    char mail[512], rcpt[512];
    size_t length = 0;
    if (argc != 7) {
        fprintf(stderr, "usage: %s HOST PORT COUNT FROM TO CONTENT_FILE\n", argv[0]);
        return 2;
    }
    address.sin_port = htons((unsigned short)atoi(argv[2]));
    inet_pton(AF_INET, argv[1], &address.sin_addr);
    snprintf(mail, sizeof mail, "MAIL FROM:<%s>\r\n", argv[4]);
    snprintf(rcpt, sizeof rcpt, "RCPT TO:<%s>\r\n", argv[5]);
    char *content = read_content(argv[6], &length);
    if (!content) {
        fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[6]);
        return 2;
    }
    for (int i = atoi(argv[3]); i > 0; --i) {
        if (!deliver(&address, mail, rcpt, content, length)) {
            fprintf(stderr, "%s: a delivery failed\n", argv[0]);
            free(content);
            return 1;
        }
    }
    free(content);
    return 0;
}
