#include "localisation/mlFormStorage.h"

#include "platform/system/Files.h"
#include "platform/system/IniFile.h"
#include "platform/ui/Form.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace vx {
namespace {

const char* const kKey = "Software\\Vornix\\TestForm";

struct StoredForm {
    explicit StoredForm(const std::string& subKey = kKey, TMyHKeyType root = mlHKEY_CURRENT_USER) {
        form = std::make_unique<TForm>();
        storage = new TmlFormStorage(form.get());
        storage->SubKey = subKey;
        storage->RegRootKey = root;
    }
    std::unique_ptr<TForm> form;
    TmlFormStorage* storage;
};

class mlFormStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (TMyHKeyType root : {mlHKEY_CURRENT_USER, mlHKEY_LOCAL_MACHINE})
            DeleteFile(TmlFormStorage::RootFileName(root));
    }
};

TEST_F(mlFormStorageTest, RestoresPositionSizeAndStateSavedUnderItsKey) {
    {
        StoredForm saved;
        saved.form->move(40, 30);
        saved.form->resize(320, 200);
    }
    EXPECT_EQ(test::ReadFile(TmlFormStorage::RootFileName(mlHKEY_CURRENT_USER)),
              "[Software\\Vornix\\TestForm]\r\nState=Normal\r\nTop=30\r\nLeft=40\r\n"
              "Height=200\r\nWidth=320\r\n");

    StoredForm restored;
    restored.storage->Loaded();
    EXPECT_EQ(restored.form->pos(), QPoint(40, 30));
    EXPECT_EQ(restored.form->size(), QSize(320, 200));
    EXPECT_EQ(restored.form->WindowState(), wsNormal);

    // A maximised window keeps the placement it had when it was normal.
    restored.form->SetWindowState(wsMaximized);
    restored.form.reset();
    StoredForm again;
    again.storage->Loaded();
    EXPECT_EQ(again.form->WindowState(), wsMaximized);
    EXPECT_EQ(again.form->size(), QSize(320, 200));
    again.storage->Active = false;
}

TEST_F(mlFormStorageTest, KeysAreApartByRootAndSubKey) {
    {
        StoredForm a("Software/Vornix/A");
        a.form->resize(111, 99);
        StoredForm b("Software\\Vornix\\B", mlHKEY_LOCAL_MACHINE);
        b.form->resize(222, 99);
    }
    StoredForm a("Software\\Vornix\\A");
    a.storage->Loaded();
    EXPECT_EQ(a.form->width(), 111);
    StoredForm b("Software\\Vornix\\B", mlHKEY_LOCAL_MACHINE);
    b.storage->Loaded();
    EXPECT_EQ(b.form->width(), 222);
    StoredForm none("Software\\Vornix\\B");
    const QSize before = none.form->size();
    none.storage->Loaded();
    EXPECT_EQ(none.form->size(), before);
    for (StoredForm* f : {&a, &b, &none})
        f->storage->Active = false;
}

TEST_F(mlFormStorageTest, InactiveStorageNeitherReadsNorWrites) {
    {
        StoredForm saved;
        saved.storage->Active = false;
    }
    EXPECT_FALSE(FileExists(TmlFormStorage::RootFileName(mlHKEY_CURRENT_USER)));
}

TEST_F(mlFormStorageTest, StoredValuesThatAreNoNumbersAreLeftAlone) {
    const std::string file = TmlFormStorage::RootFileName(mlHKEY_CURRENT_USER);
    ForceDirectories(file.substr(0, file.rfind('/')));
    struct Case {
        const char* values;
        QPoint pos;
        QSize size;
    };
    // The form starts at (7, 8) with 50 x 60; an empty state applies nothing.
    for (const Case& c :
         {Case{"State=Normal\nTop=x\nLeft=5\nHeight=\nWidth=300\n", {5, 8}, {300, 60}},
          Case{"State=\nTop=1\nLeft=5\nHeight=100\nWidth=300\n", {7, 8}, {50, 60}}}) {
        test::WriteFile(file, std::string("[Software\\Vornix\\TestForm]\n") + c.values);
        StoredForm f;
        f.form->move(7, 8);
        f.form->resize(50, 60);
        f.storage->Loaded();
        EXPECT_EQ(f.form->pos(), c.pos) << c.values;
        EXPECT_EQ(f.form->size(), c.size) << c.values;
        f.storage->Active = false;
    }
}

} // namespace
} // namespace vx
