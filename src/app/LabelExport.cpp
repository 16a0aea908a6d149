#include "app/LabelExport.h"

#include "files/FileWriter.h"
#include "platform/FileErrorText.h"
#include "platform/MessageBox.h"
#include "platform/QtText.h"
#include "platform/SaveFileDialog.h"
#include "print/LabelSheet.h"
#include "table/TableFile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace labelexport {

void PrintElsewhere(QWidget* parent, const std::string& password, const PrintStyle& style) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Q8xj ラベル"));
    QPrintDialog dialog(&printer, parent);
    // One page; a file is saved with "PDF として保存...", not from here.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, 1);
    auto* labelTab = new QWidget;
    labelTab->setWindowTitle(QStringLiteral("ラベル"));
    auto* frame = new QCheckBox(QStringLiteral("切り取り線を印刷する(&F)"), labelTab);
    frame->setChecked(true);
    auto* layout = new QVBoxLayout(labelTab);
    layout->addWidget(frame);
    layout->addStretch();
    dialog.setOptionTabs({labelTab});
    if (dialog.exec() == QDialog::Accepted) {
        PrintOn(printer, password, style, frame->isChecked());
    }
}

void PrintOn(QPrinter& printer, const std::string& password, const PrintStyle& style, bool frame) {
    const BusyCursor busy;
    if (!LabelSheet(password, style, frame).Print(printer)) {
        platform::AppMessageBox(QStringLiteral("プリンター「%1」で印刷できませんでした。").arg(printer.printerName()),
                                platform::Buttons::Ok, platform::Icon::Exclamation);
    }
}

void SavePdf(QWidget* parent, const std::string& password, const PrintStyle& style) {
    QString path = platform::AskSaveFileName(
        parent, {QStringLiteral("PDF として保存"), QDir::home().filePath(QStringLiteral("ラベル.pdf")),
                 QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf")});
    if (path.isEmpty()) {
        return;
    }
    // A name with another extension (backup.xj) gets .pdf too, so no other file is written over.
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    const QByteArray pdf = LabelSheet(password, style, true).Pdf();
    const std::error_code error =
        files::WriteFile(QFile::encodeName(path).toStdString(),
                         std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                         files::Target::Output, kTableFileName);
    if (error) {
        const std::string name = FromQString(QDir::toNativeSeparators(path)).value_or(std::string());
        platform::AppMessageBox(QStringLiteral("PDF ファイルを保存できませんでした。\r\n") +
                                    ToQString(FileErrorText(error, name)),
                                platform::Buttons::Ok, platform::Icon::Exclamation);
    }
}

} // namespace labelexport
