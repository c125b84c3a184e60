#pragma once

// Owners of translation tables whose class names the tables' keys use.

#include <QObject>

namespace vx::test {

class TAboutBox : public QObject {
    Q_OBJECT
};

class TMainForm : public QObject {
    Q_OBJECT
};

// The owner of the sample table in resources/translations/Sample.tsv.
class TSampleForm : public QObject {
    Q_OBJECT
};

} // namespace vx::test
