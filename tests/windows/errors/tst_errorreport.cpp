#include "core/generaldate.h"
#include "widgets/gridcombo.h"
#include "windows/errors/errorreport.h"
#include "windows/errors/showerrorreport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <optional>

namespace
{

// What a report showed, taken from the window the hook receives.
struct Shown {
    QString caption, description, source, dateTime, operatorLine, screen, activeControl;
};

Shown read(ErrorReport &r)
{
    auto line = [&](const char *name) { return r.findChild<QLineEdit *>(QString::fromLatin1(name))->text(); };
    return { r.windowTitle(), line("txterr0"), r.findChild<QPlainTextEdit *>("txterr1")->toPlainText(),
        line("dtDateTime"), line("dfOperatorName"), line("dfScreenName"), line("dfActiveControl") };
}

std::optional<Shown> report(
    QWidget *form, const QString &number, const QString &description, const QString &source)
{
    std::optional<Shown> shown;
    const auto previous = ErrorReporting::setShowHook([&](ErrorReport &r) { shown = read(r); });
    ShowErrorReport(form, number, description, source);
    ErrorReporting::setShowHook(previous);
    return shown;
}

QPushButton *buttonOf(ErrorReport &r, const QString &name)
{
    return r.findChild<QPushButton *>(name);
}

// A window like the editor: a frame holding a picker, and the Add button.
struct FakeEditor {
    QDialog form;
    QGroupBox *frame = new QGroupBox(&form);
    GridCombo *picker = new GridCombo(frame);
    QPushButton *add = new QPushButton(QStringLiteral("&Add"), frame);
    FakeEditor()
    {
        form.setObjectName(QStringLiteral("frmadt"));
        frame->setObjectName(QStringLiteral("Frame1"));
        picker->setObjectName(QStringLiteral("txtrid"));
        add->setObjectName(QStringLiteral("Command1"));
        add->move(0, 40);
    }
};

const char *const ChildVariable = "TST_ERRORT_CHILD";

} // namespace

class TestErrorReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillsEveryLine_data();
    void fillsEveryLine();
    void noFormStillReports();
    void timeLineIsTheMomentOfTheReport();
    void buttons_data();
    void buttons();
    void enterGoesOnAndNeverStops();
    void arabicCaptionsHaveGlyphsAndRunRightToLeft();
    void tabOrder();
    void stopEndsProcessWithoutClosingHandlers();
};

void TestErrorReport::fillsEveryLine_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("activeControl");

    QTest::newRow("error-13-from-add") << "Command1"
                                       << "13"
                                       << "Type mismatch"
                                       << "prjIMR"
                                       << "Error #13"
                                       << "Active Control:Command1";
    QTest::newRow("negative-number") << "Command1"
                                     << "-2147217900"
                                     << "Syntax error"
                                     << "Microsoft JET Database Engine"
                                     << "Error #-2147217900"
                                     << "Active Control:Command1";
    QTest::newRow("picker-names-itself-not-its-text-box") << "txtrid"
                                                          << "1"
                                                          << "no such table: adt"
                                                          << "QSQLITE"
                                                          << "Error #1"
                                                          << "Active Control:txtrid";
    QTest::newRow("empty-description-and-source") << "Command1"
                                                  << "5"
                                                  << ""
                                                  << ""
                                                  << "Error #5"
                                                  << "Active Control:Command1";
    QTest::newRow("no-active-control-leaves-line-empty") << ""
                                                         << "7"
                                                         << "x"
                                                         << "y"
                                                         << "Error #7"
                                                         << "";
    QTest::newRow("quotes-and-newlines-shown-as-they-are") << "Command1"
                                                           << "19"
                                                           << "it's \"bad\""
                                                           << "line one\nline two"
                                                           << "Error #19"
                                                           << "Active Control:Command1";
}

void TestErrorReport::fillsEveryLine()
{
    QFETCH(QString, focus);
    QFETCH(QString, number);
    QFETCH(QString, description);
    QFETCH(QString, source);
    QFETCH(QString, caption);
    QFETCH(QString, activeControl);

    FakeEditor editor;
    if (focus == QLatin1String("Command1"))
        editor.add->setFocus();
    else if (focus == QLatin1String("txtrid"))
        editor.picker->SetFocus();
    const auto shown = report(&editor.form, number, description, source);
    QVERIFY(shown);
    QCOMPARE(shown->caption, caption);
    QCOMPARE(shown->description, description);
    QCOMPARE(shown->source, source);
    QCOMPARE(shown->activeControl, activeControl);
    QCOMPARE(shown->screen, QStringLiteral("Form: frmadt"));
    QCOMPARE(shown->operatorLine, QLatin1String("Operator:") + ErrorReporting::operatorName());
    QVERIFY(!ErrorReporting::operatorName().isEmpty()); // the test runs as some user
    QVERIFY(!shown->dateTime.isEmpty());
}

void TestErrorReport::noFormStillReports()
{
    const auto shown = report(
        nullptr, QStringLiteral("3"), QStringLiteral("Return without GoSub"), QStringLiteral("prjIMR"));
    QVERIFY(shown);
    QCOMPARE(shown->caption, QStringLiteral("Error #3"));
    QCOMPARE(shown->description, QStringLiteral("Return without GoSub"));
    QCOMPARE(shown->screen, QString());
    QCOMPARE(shown->activeControl, QString());
}

void TestErrorReport::timeLineIsTheMomentOfTheReport()
{
    const QDateTime before = QDateTime::currentDateTime();
    const auto shown = report(nullptr, QStringLiteral("1"), {}, {});
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(shown);
    QStringList candidates;
    for (QDateTime t = before.addMSecs(-before.time().msec()); t <= after; t = t.addSecs(1))
        candidates << GeneralDateText(t);
    QVERIFY2(candidates.contains(shown->dateTime), qPrintable(shown->dateTime));
}

void TestErrorReport::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("printer"); // ok, fails, throws
    QTest::addColumn<int>("prints");
    QTest::addColumn<bool>("ends");

    QTest::newRow("go-on") << "pbHalt"
                           << "ok" << 0 << false;
    QTest::newRow("print-and-go-on") << "pbPrintScreenAndHalt"
                                     << "ok" << 1 << false;
    QTest::newRow("print-fails-still-goes-on") << "pbPrintScreenAndHalt"
                                               << "fails" << 1 << false;
    QTest::newRow("print-throws-still-goes-on") << "pbPrintScreenAndHalt"
                                                << "throws" << 1 << false;
    QTest::newRow("print-and-stop") << "pbPrintMsgAndHalt"
                                    << "ok" << 1 << true;
    QTest::newRow("no-printer-still-stops") << "pbPrintMsgAndHalt"
                                            << "fails" << 1 << true;
    QTest::newRow("print-throws-still-stops") << "pbPrintMsgAndHalt"
                                              << "throws" << 1 << true;
}

void TestErrorReport::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, printer);
    QFETCH(int, prints);
    QFETCH(bool, ends);

    int printed = 0;
    bool ended = false;
    bool closedBeforeEnd = false;
    QWidget *printedWindow = nullptr;
    QString job;
    const auto previous = ErrorReporting::setShowHook([&](ErrorReport &r) {
        r.setPrinter([&](QWidget *w, const QString &name) -> PrintResult {
            ++printed;
            printedWindow = w;
            job = name;
            if (printer == QLatin1String("throws"))
                throw std::runtime_error("printer gone");
            return { printer == QLatin1String("ok"), {} };
        });
        r.setEndProgram([&] {
            ended = true;
            closedBeforeEnd = !r.isVisible();
        });
        r.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r));
        QTest::mouseClick(buttonOf(r, button), Qt::LeftButton);
        QVERIFY(!r.isVisible());
        QCOMPARE(printedWindow, prints ? &r : nullptr);
    });
    ShowErrorReport(nullptr, QStringLiteral("13"), QStringLiteral("Type mismatch"), QStringLiteral("prjIMR"));
    ErrorReporting::setShowHook(previous);
    QCOMPARE(printed, prints);
    QCOMPARE(ended, ends);
    QVERIFY(!closedBeforeEnd); // the stop comes straight after the print, nothing in between
    if (prints)
        QCOMPARE(job, QStringLiteral("Error #13"));
}

void TestErrorReport::enterGoesOnAndNeverStops()
{
    bool ended = false;
    const auto previous = ErrorReporting::setShowHook([&](ErrorReport &r) {
        r.setPrinter([](QWidget *, const QString &) { return PrintResult { true, {} }; });
        r.setEndProgram([&] { ended = true; });
        r.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r));
        QTest::keyClick(r.findChild<QLineEdit *>("dtDateTime"), Qt::Key_Return);
        QVERIFY(!r.isVisible());
    });
    ShowErrorReport(nullptr, QStringLiteral("13"), {}, {});
    ErrorReporting::setShowHook(previous);
    QVERIFY(!ended);
}

void TestErrorReport::arabicCaptionsHaveGlyphsAndRunRightToLeft()
{
    ErrorReport r;
    const QStringList families = QFontDatabase::families(QFontDatabase::Arabic);
    const struct {
        const char *name;
        QString caption;
    } expected[] = {
        { "pbPrintMsgAndHalt", QStringLiteral("طباعة الرسالة - توقف") },
        { "pbPrintScreenAndHalt", QStringLiteral("طباعة الشاشة ومحاولة الاستمرار") },
        { "pbHalt", QStringLiteral("محاولة الاستمرار") },
    };
    for (const auto &e : expected) {
        QPushButton *b = buttonOf(r, QString::fromLatin1(e.name));
        QVERIFY2(b, e.name);
        QCOMPARE(b->text(), e.caption);
        QCOMPARE(b->layoutDirection(), Qt::RightToLeft);
        const QFontInfo info(b->font());
        QVERIFY2(families.contains(info.family()), qPrintable(info.family()));
        const QFontMetrics metrics(b->font());
        for (const QChar c : e.caption)
            QVERIFY2(metrics.inFont(c), qPrintable(QString(c)));
    }
}

void TestErrorReport::tabOrder()
{
    ErrorReport r;
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    const QStringList expected = { "dtDateTime", "dfOperatorName", "dfScreenName", "dfActiveControl",
        "pbPrintMsgAndHalt", "pbPrintScreenAndHalt", "pbHalt", "txterr0", "txterr1" };
    QWidget *w = r.findChild<QWidget *>("dtDateTime");
    QStringList seen;
    for (int i = 0; i < expected.size(); ++i) {
        seen << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty()
            || w->objectName().startsWith("qt_"));
    }
    QCOMPARE(seen, expected);
}

// The child started below: a main window whose close, quit and exit routines leave marks, then a
// report on which the operator presses the stop button with the real ender and the real printer.
static int runStopChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    static QString dir = qEnvironmentVariable(ChildVariable);
    static const auto mark = [](const char *what) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(what));
        f.open(QIODevice::WriteOnly);
    };
    struct MainWindow : QWidget {
        void closeEvent(QCloseEvent *e) override
        {
            mark("closed");
            e->accept();
        }
    } window;
    window.setObjectName(QStringLiteral("IMRForm"));
    window.show();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { mark("quit"); });
    std::atexit([] { mark("atexit"); });
    ErrorReporting::setShowHook([](ErrorReport &r) {
        r.show();
        mark("shown");
        QTest::mouseClick(r.findChild<QPushButton *>("pbPrintMsgAndHalt"), Qt::LeftButton);
    });
    ShowErrorReport(&window, QStringLiteral("13"), QStringLiteral("Type mismatch"), QStringLiteral("prjIMR"));
    mark("returned");
    window.close();
    return 3;
}

void TestErrorReport::stopEndsProcessWithoutClosingHandlers()
{
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildVariable), dir.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(QFile::exists(dir.filePath("shown")));
    for (const char *mark : { "returned", "closed", "quit", "atexit" })
        QVERIFY2(!QFile::exists(dir.filePath(QString::fromLatin1(mark))), mark);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(ChildVariable))
        return runStopChild(argc, argv);
    QApplication app(argc, argv);
    TestErrorReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreport.moc"
