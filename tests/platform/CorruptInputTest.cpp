// Inputs built to break the component-stream reader and the picture decoders, and the
// reproducers kept in corrupt/ beside this file: each gets its reader's own error, and the
// object read into stays as it was.

#include "MetaFixtures.h"

#include "platform/graphics/Bitmap.h"
#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vx {
namespace {

using test::TTestWidget;

std::string SStr(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

std::string CorruptFile(std::string_view name) {
    return test::ReadFile(std::string(VX_TEST_CORRUPT_DIR) + "/" + std::string(name));
}

std::string ReadWidget(const std::string& bytes) {
    TTestWidget w;
    w.Count = 7;
    TMemoryStream stream(bytes);
    try {
        ReadComponent(stream, w);
    } catch (const EReadError& e) {
        return e.Message;
    }
    return "read";
}

std::string ReadPicture(const std::string& bytes, bool jpeg) {
    Bitmap picture;
    picture.SetSize(3, 2);
    try {
        if (jpeg)
            picture.LoadJpegFromBytes(bytes);
        else
            picture.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic& e) {
        if (picture.Width() != 3 || picture.Height() != 2)
            return e.Message + ", but changed";
        // The number of a JPEG error depends on where the decoder stopped.
        return e.Message.rfind("JPEG error #", 0) == 0 ? std::string("JPEG error") : e.Message;
    }
    return "decoded";
}

// A child object in the stream: class, name, no property, then its own children.
std::string NestedChildren(int depth) {
    const std::string head = "TPF0" + SStr("TTestWidget") + SStr("W1") + '\0';
    std::string bytes = head;
    for (int i = 0; i < depth; ++i)
        bytes += SStr("TTestWidget") + SStr("C") + '\0';
    return bytes + std::string(static_cast<size_t>(depth) + 1, '\0');
}

TEST(CorruptInputTest, EveryReaderAnswersClearly) {
    struct Case {
        const char* name;
        std::function<std::string()> answer;
        const char* expected;
    } const cases[] = {
        {"children nested 100,000 deep", [] { return ReadWidget(NestedChildren(100000)); },
         "Invalid stream format"},
        {"lists nested 100,000 deep in a passed-over child",
         [] {
             return ReadWidget("TPF0" + SStr("TTestWidget") + SStr("W1") + '\0' +
                               SStr("TTestWidget") + SStr("C") + SStr("L") +
                               std::string(100000, '\1') + std::string(100003, '\0'));
         },
         "Invalid stream format"},
        {"JPEG cut after its header",
         [] { return ReadPicture(CorruptFile("jpeg_cut_after_header.jpg"), true); }, "JPEG error"},
        {"BMP of its header alone",
         [] {
             return ReadPicture(CorruptFile("jpeg_cut_after_header.jpg").substr(0, 0) + "BM" +
                                    std::string(12, '\0'),
                                false);
         },
         "Bitmap image is not valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.answer(), c.expected);
    }
}

} // namespace
} // namespace vx
