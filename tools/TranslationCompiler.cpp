// Build step: turns resources/translations/<Owner>.tsv into the stored table that the program
// carries, <out>/<Owner>.properties and <out>/<Owner>.TranslationData, written by the table's
// own writer. Any fault in the source fails the build with the file and line.

#include "localisation/mlComp.h"
#include "localisation/mlStoredTable.h"
#include "localisation/mlTranslationSource.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: TranslationCompiler <Owner>.tsv <output folder>\n");
        return 2;
    }
    const std::filesystem::path sourcePath(argv[1]);
    const std::filesystem::path outFolder(argv[2]);
    try {
        std::ifstream in(sourcePath, std::ios::binary);
        if (!in)
            throw vx::EFOpenError("Cannot open file \"" + sourcePath.string() + "\"");
        const std::string text{std::istreambuf_iterator<char>(in), {}};

        vx::TmlLang lang;
        vx::FillTableFromSource(lang, vx::ParseTranslationSource(text));
        vx::TMemoryStream data;
        lang.WriteTranslationData(data);

        std::filesystem::create_directories(outFolder);
        const std::string base = (outFolder / sourcePath.stem()).string();
        vx::WriteFileAtomically(base + ".properties", vx::WriteTableProperties(lang));
        vx::WriteFileAtomically(base + ".TranslationData", data.Bytes());
    } catch (const vx::Exception& e) {
        std::fprintf(stderr, "%s: %s\n", sourcePath.string().c_str(), e.Message.c_str());
        return 1;
    }
    return 0;
}
