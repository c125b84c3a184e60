#include "document/PictureDialog.h"

#include "document/FileDialogs.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/UiServices.h"

#include <exception>

namespace vx {

bool ChoosePicture(Bitmap& picture) {
    const std::string path = Ui().OpenPictureDialog({});
    if (path.empty())
        return false;
    try {
        TMemoryStream file;
        file.LoadFromFile(path);
        const std::string& bytes = file.Bytes();
        Bitmap loaded;
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xD8)
            loaded.LoadJpegFromBytes(bytes);
        else
            loaded.LoadFromBytes(bytes);
        picture = loaded;
        return true;
    } catch (const std::exception& e) {
        Ui().MessageDlg(FileErrorText(e, path, false) + "\r\n" + e.what(), TMsgDlgType::mtError,
                        mbOK);
        return false;
    }
}

} // namespace vx
