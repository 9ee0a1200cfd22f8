#include "host/cli/message_body.h"

#include "host/os/system_file.h"
#include "host/os/terminal_screen.h"
#include "host/text/file_text_check.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"

#include <cstdio>
#include <system_error>

namespace {

constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

std::string Reason(const std::system_error &error) { return error.code().message(); }

std::string ReadFileBytes(const std::string &file)
{
    try {
        std::optional<SystemFile> opened = SystemFile::OpenToRead(file);
        if (!opened)
            throw UsageError("cannot read " + file + ": " + std::make_error_code(std::errc::no_such_file_or_directory).message());
        if (opened->FileKind() == SystemFile::Kind::Folder)
            throw UsageError(file + " is a folder; send takes text files");
        return opened->ReadAll();
    } catch (const std::system_error &error) {
        throw UsageError("cannot read " + file + ": " + Reason(error));
    }
}

// A person at the terminal would otherwise wait for a prompt that never
// comes.
std::string ReadStandardInput()
{
    if (InputOnTerminal())
        std::fprintf(stderr, "morv-host: reading the turn from standard input until end of file (%s)\n",
                     END_OF_INPUT_KEYS);
    try {
        return SystemFile::StandardInput().ReadAll();
    } catch (const std::system_error &error) {
        throw UsageError("cannot read standard input: " + Reason(error));
    }
}

std::string ReadSource(const std::string &file)
{
    return file == "-" ? ReadStandardInput() : ReadFileBytes(file);
}

std::string NotInEncoding(const std::string &name, const std::string &encoding, std::size_t offset)
{
    const std::string where = name + " is not " + encoding + " text (byte " + std::to_string(offset) + ")";
    if (encoding != "utf-8")
        return where;
    return where + "; if it is Windows-1251 or KOI8-R text, say so with --encoding windows-1251 (or koi8-r), "
                   "or convert it: iconv -f WINDOWS-1251 -t UTF-8";
}

// The text in UTF-8, checked to be what `encoding` says it is.
std::string DecodeToUtf8(const std::string &bytes, const std::string &encoding, const std::string &name)
{
    try {
        return ConvertText(bytes, encoding.c_str(), "UTF-8");
    } catch (const TextCodecError &error) {
        throw UsageError(NotInEncoding(name, encoding, error.Offset()));
    }
}

}  // namespace

const std::vector<std::string> &BodyEncodings()
{
    static const std::vector<std::string> encodings{"utf-8", "windows-1251", "koi8-r"};
    return encodings;
}

std::string ReadMessageBody(const std::string &file, const std::string &encoding)
{
    const std::string name = BodySourceName(file);
    const std::string bytes = ReadSource(file);
    if (const std::optional<std::string> problem = NotTextProblem(bytes, file))
        throw UsageError(*problem);
    std::string text = DecodeToUtf8(bytes, encoding, name);
    if (text.starts_with(UTF8_BYTE_ORDER_MARK))
        text.erase(0, UTF8_BYTE_ORDER_MARK.size());
    try {
        return Utf8ToAnsi(text);
    } catch (const TextCodecError &error) {
        throw UsageError(name + " cannot be sent in Windows-1251 (" + error.what() + ")");
    }
}
