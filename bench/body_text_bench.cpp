// Dot-stuffing and line-end normalisation of message bodies.
#include "compose/body_text.h"
#include "compose/mail_message.h"

#include <benchmark/benchmark.h>

namespace {

// A turn report of `lines` lines, every fourth beginning with a dot.
CString TurnText(int lines, const char *lineEnd)
{
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += std::string(i % 4 == 0 ? ".move " : "move ") + std::to_string(i) + " e2-e4 d7-d5" + lineEnd;
    return CString(text);
}

void BM_StuffDots(benchmark::State &state)
{
    const CString body = TurnText(static_cast<int>(state.range(0)), "\r\n");
    for (auto _ : state) {
        CString text = body;
        StuffDots(text);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * body.GetLength());
}
BENCHMARK(BM_StuffDots)->Arg(10)->Arg(1000)->Arg(100000);

void BM_SetBodyWithBareLineFeeds(benchmark::State &state)
{
    const CString body = TurnText(static_cast<int>(state.range(0)), "\n");
    for (auto _ : state) {
        CMailMessage message;
        message.SetBody(body);
        benchmark::DoNotOptimize(message.m_body);
    }
    state.SetBytesProcessed(state.iterations() * body.GetLength());
}
BENCHMARK(BM_SetBodyWithBareLineFeeds)->Arg(10)->Arg(1000)->Arg(100000);

}  // namespace
