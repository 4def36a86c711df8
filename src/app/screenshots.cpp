// Renders the program's windows to PNG files with demo data, for review: quillerby-screenshots OUTDIR
#include "app/aboutbox.h"
#include "app/loadingwindow.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/theme.h"
#include "config/datamodule.h"
#include "db/databasesetup.h"
#include "db/sqlexec.h"
#include "widgets/prompter.h"
#include "widgets/windowregistry.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPainter>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace quillerby;

namespace {

// Answers every box with its first button and shows nothing: screenshots run unattended.
class SilentPrompter : public Prompter {
public:
    PromptAnswer show(PromptKind, const QString& text, PromptButtons, QWidget*) override {
        QTextStream(stderr) << "box: " << displayText(text) << Qt::endl;
        return PromptAnswer::Ok;
    }
    void openUrl(const QUrl&) override {}
    QString openFileName(const QString&, const QString&, QWidget*) override { return {}; }
};

bool save(QWidget* w, const QString& file) {
    QPixmap pm = w->grab();
    if (!pm.save(file)) {
        QTextStream(stderr) << "cannot write " << file << Qt::endl;
        return false;
    }
    QTextStream(stdout) << file << Qt::endl;
    return true;
}

// A dialog drawn over a dimmed picture of the main window, as the user would see it.
bool saveOver(QWidget* main, QWidget* dialog, const QString& file) {
    QPixmap back = main->grab();
    const QPixmap front = dialog->grab();
    QPainter p(&back);
    p.fillRect(back.rect(), QColor(0, 0, 0, 60));
    p.drawPixmap((back.width() - front.width()) / 2, (back.height() - front.height()) / 2, front);
    p.end();
    if (!back.save(file))
        return false;
    QTextStream(stdout) << file << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillerby"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    applyTheme(app);

    QTemporaryDir home;
    DataModule dm(AppPaths::fromFolders(home.path() + QStringLiteral("/config"), home.path() + QStringLiteral("/Documents")));
    SilentPrompter prompter;
    ConnectionParams p;
    p.engine = Engine::Sqlite;
    dm.saveConnectionParams(p);
    dm.loadConnectionParams(p);
    if (!testConnection(dm, p, true, [](NoticeKind, const QString& t) { QTextStream(stderr) << t << Qt::endl; })
             .succeeded)
        return 1;
    prepareDataModule(dm, prompter, SettingsRunner());

    WindowRegistry registry;
    Session s = createSession(dm, prompter, registry);
    MainWindow* w = s.mainWindow.get();
    w->resize(1100, 700);
    w->show();
    w->progressBar()->setRange(0, 100);
    w->progressBar()->setValue(40);
    QApplication::processEvents();
    bool ok = save(w, out + QStringLiteral("/main-window.png"));

    s.aboutBox->show();
    QApplication::processEvents();
    ok &= saveOver(w, s.aboutBox.get(), out + QStringLiteral("/about-box.png"));
    s.aboutBox->hide();

    auto* loading = new LoadingWindow(w);
    loading->show();
    loading->advance(4 * 6);
    QApplication::processEvents();
    ok &= saveOver(w, loading, out + QStringLiteral("/loading-window.png"));
    loading->close();
    return ok ? 0 : 1;
}
