// Renders the program's windows to PNG files with demo data, for review: quillerby-screenshots OUTDIR
#include "app/aboutbox.h"
#include "app/loadingwindow.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/theme.h"
#include "config/datamodule.h"
#include "demoshop/demoshop.h"
#include "products/productswindow.h"
#include "settings/databasepanel.h"
#include "settings/settingswindow.h"
#include "settings/taxespage.h"
#include "store/productsync.h"
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

    // The settings window's three pages.
    {
        execSql(dm.local(), QStringLiteral("insert into taxes000 (TaxeName, Rate, Priority, compound, shipping) values "
                                           "('VAT', 15, 1, 0, 1), ('City tax', 2.5, 2, 1, 0)"));
        SettingsWindow settings(dm, prompter, false);
        settings.show();
        QApplication::processEvents();
        ok &= save(&settings, out + QStringLiteral("/settings-database.png"));
        settings.databasePanel()->setEngine(Engine::MsSql);
        settings.databasePanel()->fillLocalServers({QStringLiteral("SHOPPC\\SQLEXPRESS")});
        QApplication::processEvents();
        ok &= save(&settings, out + QStringLiteral("/settings-database-sqlserver.png"));
        settings.showPage(1);
        settings.taxesPage()->setTaxProcessing(true);
        QApplication::processEvents();
        ok &= save(&settings, out + QStringLiteral("/settings-taxes.png"));
        settings.taxesPage()->setTaxProcessing(false);
        settings.showPage(2);
        QApplication::processEvents();
        ok &= save(&settings, out + QStringLiteral("/settings-store.png"));
    }

    // The products window after a synchronisation with the demo shop.
    {
        demo::DemoShopOptions options;
        options.key = QStringLiteral("ck_demo");
        options.secret = QStringLiteral("cs_demo");
        options.products = 120;
        options.seed = 20261211;
        demo::DemoShopThread shop(options);
        if (!shop.start())
            return 1;
        s.productsWindow->resize(900, 560);
        ProductSync(dm, ShopAccess{shop.baseUrl().toString(), options.key, options.secret, {}}).run({});
        s.productsWindow->reloadList();
        s.productsWindow->show();
        QApplication::processEvents();
        ok &= save(s.productsWindow.get(), out + QStringLiteral("/products-window.png"));
    }
    return ok ? 0 : 1;
}
