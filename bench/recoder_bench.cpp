// The Cyrillic recoder, Windows-1251 to KOI8-R as the SMTP path uses it.
#include "mail/cyrillic_recoder.h"
#include "platform/win_types.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Russian prose in Windows-1251: letters, blanks, punctuation, line ends.
std::string RussianText(std::size_t length)
{
    static const std::string sentence =
        "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
        "\xF4\xF0\xE0\xED\xF6\xF3\xE7\xF1\xEA\xE8\xF5 \xE1\xF3\xEB\xEE\xEA, 12345.\r\n";
    std::string text;
    while (text.size() < length)
        text += sentence;
    text.resize(length);
    return text;
}

void BM_RecodeCyrillic(benchmark::State &state)
{
    const std::string source = RussianText(static_cast<std::size_t>(state.range(0)));
    std::string buffer = source;
    for (auto _ : state) {
        buffer = source;
        RecodeCyrillic(reinterpret_cast<BYTE *>(buffer.data()), static_cast<unsigned>(buffer.size()), 0, 1);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecodeCyrillic)->Arg(64)->Arg(4096)->Arg(1 << 20);

}  // namespace
