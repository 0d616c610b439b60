#include "DescriptionFrame.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "ButtonLook.h"
#include "Dialogs.h"
#include "FrameParts.h"
#include "ItemViews.h"
#include "PiecedTextEdit.h"
#include "Values.h"

namespace {
// A browser of the program's folder: a resource is loaded only from a regular file of bounded
// size inside it (nothing from the network, a share or a device), and links are not followed.
class LocalPageView : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override {
        const QString file = ItemViews::resourceFile(DescriptionFrame::folder(), name);
        // Not an empty answer: for that the document reads the named file itself, whatever
        // it is. A byte that is no image shows as a missing one.
        if (file.isEmpty()) return QByteArray(1, '\0');
        return QTextBrowser::loadResource(type, QUrl::fromLocalFile(file));
    }
};

// Up to this size the page follows every key; a longer text is written and shown once the
// typing pauses, so that keys stay quick.
constexpr qsizetype FollowEveryKey = 16 * 1024;
}  // namespace

DescriptionFrame::DescriptionFrame(QWidget* parent) : InquiryFrame(parent) {
    setObjectName(QStringLiteral("FrSpec"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    m_t7 = new PiecedTextEdit(this);
    m_t7->setObjectName(QStringLiteral("T7"));
    m_t7->setTabChangesFocus(true);
    auto* caption = new QLabel(QStringLiteral("網頁模式預覽"), this);
    auto* view = new LocalPageView(this);
    view->setObjectName(QStringLiteral("WebBrowser"));
    view->setOpenLinks(false);
    view->setOpenExternalLinks(false);
    view->setSearchPaths({folder()});
    m_view = view;
    m_b7 = new QPushButton(QStringLiteral("離 開"), this);
    m_b7->setObjectName(QStringLiteral("B7"));
    m_b7->setAutoDefault(false);
    InstallButtonLook(m_b7);
    layout->addWidget(m_t7, 1);
    layout->addWidget(caption);
    layout->addWidget(m_view, 2);
    layout->addWidget(m_b7, 0, Qt::AlignRight);
    for (QWidget* w :
         {static_cast<QWidget*>(m_t7), static_cast<QWidget*>(m_view), static_cast<QWidget*>(m_b7)})
        w->installEventFilter(this);
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(300);
    connect(m_pause, &QTimer::timeout, this, [this] { rewrite(); });
    connect(m_t7, &QPlainTextEdit::textChanged, this, [this] {
        // Text that is not rendered as markup is a long page or deep nesting: its layout costs
        // what its length costs, so it waits for the pause too.
        const QString text = m_t7->text();
        if (text.size() > FollowEveryKey || !ItemViews::rendersAsMarkup(text))
            m_pause->start();
        else
            showPage(text, true);
    });
    connect(m_b7, &QPushButton::clicked, this, [this] { leave(); });
}

QString DescriptionFrame::folder() { return QCoreApplication::applicationDirPath(); }

bool DescriptionFrame::start(const Context& context) {
    setGeometry(context.listArea);
    {
        const QSignalBlocker block(m_t7);
        m_t7->setText(context.field ? context.field(QStringLiteral("ISPACE")).toString()
                                    : QString());
    }
    m_toldUnwritable = false;
    rewrite();
    show();
    raise();
    m_t7->setFocus();
    return true;
}

// Writes the page for the text and shows it as the file holds it (Big5, references and all).
namespace {
// A new file beside the path, renamed over it: whatever the path held (a link, a FIFO, a device
// node) is replaced as a name, never opened or followed.
bool writeBesideAndRename(const QString& path, const QByteArray& bytes) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) return false;
    std::error_code failed;
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(),
                            QFile::encodeName(path).toStdString(), failed);
    if (!failed) file.setAutoRemove(false);
    return !failed;
}
}  // namespace

// The file is written beside and renamed into place: a link, a FIFO or a device of that name is
// replaced, never followed or opened.
void DescriptionFrame::rewrite() {
    const QString text = m_t7->text();
    showPage(text, ItemViews::rendersAsMarkup(text));
}

void DescriptionFrame::showPage(const QString& text, bool markup) {
    m_pause->stop();
    const QString path = QDir(folder()).filePath(QLatin1String(ItemViews::HtmlFileName));
    const QByteArray page = ItemViews::htmlPage(text);
    if (!writeBesideAndRename(path, page)) {
        // Said once a showing; the view still follows the text.
        if (!m_toldUnwritable)
            Dialogs::showMessage(QStringLiteral("無法寫入網頁檔 ") +
                                 QDir::toNativeSeparators(path));
        m_toldUnwritable = true;
    }
    const QString shown = markup ? FromBig5(page) : ItemViews::plainPage(text);
    m_view->setWordWrapMode(ItemViews::wrapsAnywhere(shown)
                                ? QTextOption::WrapAnywhere
                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (markup)
        m_view->setHtml(shown);
    else
        m_view->setPlainText(shown);
}

void DescriptionFrame::leave() {
    hide();
    emit finished(Back::ModeButton);
}

bool DescriptionFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return InquiryFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (FrameParts::forwardFunctionKey(key)) return true;
    if (key->key() == Qt::Key_Escape || (watched == m_b7 && FrameParts::isEnter(key->key()))) {
        leave();
        return true;
    }
    return false;
}
