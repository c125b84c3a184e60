// The test import as the program runs it: by the names-row rule of the settings, or through
// a load model read from its .WHF file first.
//
// Input: byte 0 chooses; even: the names-row rule, bit 1 the load type and byte 1 the
// settings' names row (signed); odd: a load model of the length in bytes 1-2 (little-endian)
// follows. The rest is the test file.

#include "FuzzSupport.h"

#include "data/Databuff.h"
#include "data/Modellocaricamento.h"
#include "data/ProvaText.h"
#include "data/Settings.h"

namespace {

// What every import must leave, whatever the file held.
void CheckTest(const vx::TdataProva& test) {
    VX_FUZZ_CHECK(test.ChannelNames.Count() == test.ChannelCount());
    VX_FUZZ_CHECK(test.Units.Count() == test.ChannelCount());
    VX_FUZZ_CHECK(test.GetChannel(test.ChannelCount()).Count() == 0);
    for (int c = 0; c < test.ChannelCount(); ++c)
        VX_FUZZ_CHECK(test.GetChannel(c).Count() <= test.RowIndex.Count());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vx::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const std::string_view input = vx::fuzz::Bytes(data, size);
    vx::TDatabuffer buffer;
    if (data[0] % 2 == 0) {
        vx::ImpostazioniRec.Clear();
        vx::ImpostazioniRec.SetLoadType((data[0] >> 1) & 1);
        vx::ImpostazioniRec.SetNamesRow(static_cast<int8_t>(data[1]));
        const std::string path = vx::fuzz::WriteTemp("test.txt", input.substr(2));
        vx::LoadProvaText(buffer, path);
        VX_FUZZ_CHECK(buffer.ProvaCount() <= 1);
        if (buffer.ProvaCount() == 1)
            CheckTest(buffer.GetProva(0));
        return 0;
    }
    const size_t modelSize = std::min<size_t>(data[1] | (size_t{data[2]} << 8), size - 3);
    const std::string modelPath = vx::fuzz::WriteTemp("model.whf", input.substr(3, modelSize));
    const std::string path = vx::fuzz::WriteTemp("test.txt", input.substr(3 + modelSize));
    vx::TModellocaricamento model;
    int vectors = 0;
    if (!model.LoadFromFile(modelPath) ||
        !vx::CountProvaColumns(model.DataPos.Col, model.DataPos.Row, path, vectors))
        return 0;
    vx::TdataProva& test = buffer.AddProva(vectors);
    vx::ReadProvaText({}, model.NamesPos, model.UnitsPos, path, test, model.DataPos);
    CheckTest(test);
    return 0;
}
