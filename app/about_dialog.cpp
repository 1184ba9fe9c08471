#include "app/about_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace quarry {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About quarry"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/quarry/quarry.png")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto* version =
        new QLabel(tr("quarry Version %1").arg(QCoreApplication::applicationVersion()), this);
    version->setObjectName(QStringLiteral("aboutText"));
    version->setTextFormat(Qt::PlainText);
    version->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(16, 12, 12, 12);
    layout->setHorizontalSpacing(12);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(version, 0, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    setFixedSize(sizeHint().expandedTo(QSize(352, 90)));
}

} // namespace quarry
