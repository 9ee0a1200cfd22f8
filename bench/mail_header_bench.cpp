// Address-list parsing and building the header block.
#include "compose/mail_message.h"

#include <benchmark/benchmark.h>

namespace {

CString AddressList(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i % 2 ? "Player " + std::to_string(i) + " <p" + std::to_string(i) + "@game.example>"
                       : " p" + std::to_string(i) + "@game.example ") + (i % 3 ? ";" : ",");
    return CString(text);
}

void BM_ParseAddressList(benchmark::State &state)
{
    const CString list = AddressList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMailMessage message;
        benchmark::DoNotOptimize(message.ParseAddressList(list, ADDRESS_TO));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseAddressList)->Arg(1)->Arg(10)->Arg(1000);

void BM_BuildHeader(benchmark::State &state)
{
    CMailMessage message;
    message.m_from = CMailAddress(CString("player@game.example"));
    message.m_subject = "\xCF\xE0\xF0\xF2\xE8\xFF 7, \xF5\xEE\xE4 12";
    message.ParseAddressList(AddressList(static_cast<int>(state.range(0))), ADDRESS_TO);
    message.ParseAddressList("Referee <ref@game.example>", ADDRESS_CC);
    for (auto _ : state)
        benchmark::DoNotOptimize(message.BuildHeader());
}
BENCHMARK(BM_BuildHeader)->Arg(1)->Arg(10)->Arg(1000);

}  // namespace
