// The main window's printing: exporting as PDF is enabled where printing is,
// the printer check where no printer is installed, and a history exported as PDF.
#include "FormRig.h"

#include "print/QVPrint.h"

#include <QAction>
#include <QFile>
#include <QPrinterInfo>

using namespace qv;

using PrintWindowTest = qvtest::FormTest;

TEST_F(PrintWindowTest, FileMenuPrintsAndExportsAsPdf)
{
    auto form = makeForm(false);
    form->MenuPrintMemory->setEnabled(false);
    EXPECT_FALSE(form->MenuExportPdfMemory->isEnabled());
    form->MenuPrintMemory->setEnabled(true);
    EXPECT_TRUE(form->MenuExportPdfMemory->isEnabled());

    dialogs.setFallback(BtnCodeYes);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        form->PrintGrid(PrintKind::History);
        ASSERT_EQ(dialogs.requests().size(), 1u);
        EXPECT_EQ(dialogs.last().owner, form.get());
    }

    HistoryRow row;
    row[1] = "07-12-26";
    row[4] = "1.235e3";
    form->store().addCapturedRow(row);
    const QString pdf = dir.filePath("history.pdf");
    EXPECT_TRUE(form->ExportPdf(PrintKind::History, pdf));
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5) == "%PDF-");
}
