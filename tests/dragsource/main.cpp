// SPDX-License-Identifier: GPL-3.0-or-later
// A second X client that drags to the dock under test, as a file manager or an editor would: a
// small window that starts a drag when pressed, offering Move and Copy with Move proposed. When
// the receiver answers Move it deletes its own data, as real editors delete the text they moved,
// so a test can tell an answer of Move from one of Copy by what is left.
//
//   moorline-drag-source [--url URL]... [--title TITLE] [--text TEXT] [--data FILE]... [--at X,Y]
//   moorline-drag-source --receive 1 [--at X,Y]
//
// Prints "ready" once its window is shown, then the answer ("copy", "move", "ignore"), and
// stays 10 s more to hand its data over. With --receive it is the other side, a window that
// takes any drop as an editor or a file manager would: it prints what the drop held as
// "uris URI..." and "text TEXT" lines and ends.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

struct Options {
    QList<QUrl> urls;
    QString title;
    QString text;
    QStringList data;
    QPoint at{600, 100};
    bool receive = false;
};

Options parse(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        if (name == QLatin1String("--url"))
            options.urls.append(QUrl(value));
        else if (name == QLatin1String("--title"))
            options.title = value;
        else if (name == QLatin1String("--text"))
            options.text = value;
        else if (name == QLatin1String("--data"))
            options.data.append(value);
        else if (name == QLatin1String("--receive"))
            options.receive = value == QLatin1String("1");
        else if (name == QLatin1String("--at"))
            options.at = QPoint(value.section(u',', 0, 0).toInt(), value.section(u',', 1).toInt());
    }
    return options;
}

QMimeData* payload(const Options& options) {
    auto* data = new QMimeData;
    if (!options.urls.isEmpty())
        data->setUrls(options.urls);
    if (!options.text.isEmpty())
        data->setText(options.text);
    if (!options.title.isEmpty() && !options.urls.isEmpty()) {
        // What browsers add: the link and its title, in UTF-16.
        const QString moz = options.urls.first().toString() + u'\n' + options.title;
        data->setData(QStringLiteral("text/x-moz-url"),
                      QByteArray(reinterpret_cast<const char*>(moz.utf16()), moz.size() * 2));
    }
    return data;
}

class Source final : public QWidget {
public:
    explicit Source(Options options) : options_(std::move(options)) {
        setWindowTitle(QStringLiteral("moorline-drag-source"));
        setGeometry(QRect(options_.at, QSize(120, 80)));
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        drag->setMimeData(payload(options_));
        const Qt::DropAction answer = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
        if (answer == Qt::MoveAction)
            for (const QString& file : options_.data)
                QFile::remove(file);
        std::printf("%s\n", answer == Qt::MoveAction   ? "move"
                            : answer == Qt::CopyAction ? "copy"
                                                       : "ignore");
        std::fflush(stdout);
        // The receiver reads the data after the drop, from this program: stay a while.
        QTimer::singleShot(std::chrono::seconds(10), qApp, &QApplication::quit);
    }
    void showEvent(QShowEvent*) override {
        std::printf("ready\n");
        std::fflush(stdout);
    }

private:
    Options options_;
};

// Takes what a file manager or a text editor takes: a URI list, or else UTF-8 text.
class Receiver final : public QWidget {
public:
    explicit Receiver(QPoint at) {
        setWindowTitle(QStringLiteral("moorline-drop-receiver"));
        setGeometry(QRect(at, QSize(120, 80)));
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override {
        const QMimeData* data = event->mimeData();
        const QByteArray uris = data->data(QStringLiteral("text/uri-list")).simplified();
        const QByteArray text = data->data(QStringLiteral("text/plain;charset=utf-8"));
        std::printf("uris %s\ntext %s\n", uris.constData(), text.constData());
        std::fflush(stdout);
        event->acceptProposedAction();
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }
    void showEvent(QShowEvent*) override {
        std::printf("ready\n");
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const Options options = parse(app.arguments());
    if (options.receive) {
        Receiver receiver(options.at);
        receiver.show();
        return app.exec();
    }
    Source source(options);
    source.show();
    return app.exec();
}
