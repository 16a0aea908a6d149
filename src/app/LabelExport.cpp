#include "app/LabelExport.h"

#include "files/FileWriter.h"
#include "platform/FileErrorText.h"
#include "platform/MessageBox.h"
#include "platform/QtText.h"
#include "platform/SaveFileDialog.h"
#include "print/LabelPrinting.h"
#include "print/LabelSheet.h"
#include "table/TableFile.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace labelexport {

void PrintElsewhere(QWidget* parent, const std::string& password, const PrintStyle& style) {
    LabelPrinting* printing = nullptr;
    {
        // The first use loads the printing module.
        const BusyCursor busy;
        printing = LabelPrinting::Current();
    }
    if (printing == nullptr) {
        platform::ShowMessage(QStringLiteral("ほかのプリンターで印刷する機能が見つかりません。"),
                              platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    std::optional<BusyCursor> busy;
    const LabelPrinting::Printed printed =
        printing->PrintWithDialog(parent, QStringLiteral("Q8xj ラベル"), [&](QPainter& painter, bool frame) {
            busy.emplace(); // the job holds the interface from here on
            LabelSheet::Paint(painter, password, style, frame);
        });
    busy.reset();
    if (printed.outcome == LabelPrinting::Outcome::Failed) {
        platform::ShowMessage(QStringLiteral("プリンター「%1」で印刷できませんでした。").arg(printed.printer),
                              platform::Buttons::Ok, platform::Icon::Exclamation);
    }
}

void SavePdf(QWidget* parent, const std::string& password, const PrintStyle& style) {
    const QString path = platform::AskSaveFileName(
        parent, {QStringLiteral("PDF として保存"), QDir::home().filePath(QStringLiteral("ラベル.pdf")),
                 QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf")});
    if (path.isEmpty()) {
        return;
    }
    // The label shows the password: only its owner may read the file.
    const QByteArray pdf = LabelSheet(password, style, true).Pdf();
    const std::error_code error =
        files::WriteFile(QFile::encodeName(path).toStdString(),
                         std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                         files::Target::Output, kTableFileName, files::Access::Private);
    if (error) {
        const std::string name = FromQString(QDir::toNativeSeparators(path)).value_or(std::string());
        platform::ShowMessage(QStringLiteral("PDF ファイルを保存できませんでした。\n") +
                                  ToQString(FileErrorText(error, name)),
                              platform::Buttons::Ok, platform::Icon::Exclamation);
    }
}

} // namespace labelexport
