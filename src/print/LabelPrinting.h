// The label on the printers of the system's printing service. Qt's print
// support and the service's library live in a module of the program's own,
// loaded the first time a label goes to such a printer, so start-up loads
// neither. The calls are virtual so that a test can put in its own.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QWidget;

class LabelPrinting {
public:
    // The module's file, beside the program's own libraries, and the one
    // symbol it exports: `LabelPrinting* q8xj_label_printing()`.
    static constexpr const char* kModuleFile = "libq8xj_printing.so";
    static constexpr const char* kEntry = "q8xj_label_printing";

    // Paints the label, with its cutting frame or not, at the painter's origin.
    using PaintLabel = std::function<void(QPainter& painter, bool frame)>;

    enum class Outcome { Cancelled, Printed, Failed };
    struct Printed {
        Outcome outcome;
        QString printer; // the printer chosen, to name in a failure
    };

    virtual ~LabelPrinting() = default;

    // Asks for a printer through the desktop's print dialog, which also offers
    // the cutting frame, then prints one page there.
    virtual Printed PrintWithDialog(QWidget* parent, const QString& document, const PaintLabel& paint) = 0;
    // The queues the service knows, and its default one (empty if none).
    virtual QStringList Queues() = 0;
    virtual QString DefaultQueue() = 0;
    virtual bool HasQueue(const QString& queue) = 0;
    // Whether the service can be reached: false when it is not running or
    // takes no connection, so that its queues are not called missing.
    virtual bool ServiceReached() { return true; }
    // One page on `queue`, laid out as that queue's printer lays a page out,
    // sent as a PDF made in memory. False when the queue refused the job.
    virtual bool PrintOnQueue(const QString& queue, const QString& title, bool frame,
                              const PaintLabel& paint) = 0;

    // The one in use: the module, loaded on the first call, unless a test has
    // put its own in place; nullptr when the module cannot be loaded.
    static LabelPrinting* Current();
    // nullptr puts the module back. The caller keeps `replacement` alive.
    static void Replace(LabelPrinting* replacement);
};
