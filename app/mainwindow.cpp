#include "app/mainwindow.h"

#include "browser/browsercommands.h"
#include "browser/defaultbrowser.h"
#include "controls/dialogs.h"
#include "controls/fixedwindow.h"
#include "controls/formfont.h"
#include "controls/playerview.h"
#include "controls/songlistbox.h"
#include "controls/statusbar.h"
#include "net/pagefetch.h"
#include "playback/mediaplayer.h"
#include "playback/mpris.h"
#include "playback/playbackcommands.h"
#include "playback/playerbinding.h"
#include "search/searchcommands.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace melodrift {

MainWindow::MainWindow(MainWindowPlatform platform, QWidget* parent) : QWidget(parent), m_platform(std::move(platform))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Melodrift -By Velbrook"));
    setFixedSize(px(7110), px(7200));
    makeFixedWindow(this);
    setFont(formFont());
    createControls();

    m_fetcher = new PageFetcher(this);
    m_search = new SearchCommands(m_text1, m_list, m_status, m_fetcher, this);
    m_playback = new PlaybackCommands(m_list, m_status, m_player, m_playModes, m_menu, this);
    m_browser = new BrowserCommands(
        m_list, m_status, [this] { return m_playback->state().MenuRow; }, m_platform.launcher.get(),
        m_platform.dialogs.get(), m_fetcher->manager(), this, this);
    m_mpris = new MprisService(
        m_player, [this] { return m_list->ListCount(); }, this);
    wireEvents();
}

MainWindow::~MainWindow() = default;

const PlaybackState& MainWindow::playbackState() const
{
    return m_playback->state();
}

void MainWindow::createControls()
{
    // Creation order and geometry of the designed form; positions are twips / 15.
    m_option3 = new QRadioButton(QStringLiteral("随机播放"), this);
    m_option3->setObjectName(QStringLiteral("Option3"));
    m_option3->setGeometry(px(5760), px(6480), px(1215), px(255));
    m_option2 = new QRadioButton(QStringLiteral("列表循环"), this);
    m_option2->setObjectName(QStringLiteral("Option2"));
    m_option2->setGeometry(px(4680), px(6720), px(1095), px(255));
    m_option1 = new QRadioButton(QStringLiteral("单曲播放"), this);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option1->setGeometry(px(4680), px(6480), px(1095), px(255));
    m_option2->setChecked(true);
    m_playModes = new QButtonGroup(this);
    m_playModes->addButton(m_option1, static_cast<int>(PlayMode::Single));
    m_playModes->addButton(m_option2, static_cast<int>(PlayMode::Loop));
    m_playModes->addButton(m_option3, static_cast<int>(PlayMode::Random));

    m_frame1 = new QGroupBox(QStringLiteral("关键字"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(px(0), px(6360), px(2655), px(615));
    m_text1 = new QLineEdit(m_frame1);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setAccessibleName(m_frame1->title());
    m_text1->setGeometry(px(120), px(240), px(2415), px(270));

    m_frame2 = new QGroupBox(QStringLiteral("歌曲列表(使用360安全浏览器可以看到真正的MP3地址)"), this);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(px(0), px(1200), px(7095), px(5175));
    m_list = new SongListBox(m_frame2);
    m_list->setObjectName(QStringLiteral("QMListBox1"));
    m_list->setGeometry(px(120), px(240), px(6855), px(4815));

    m_picture2 = new QWidget(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setGeometry(px(0), px(0), px(7095), px(1215));
    m_picture2->setBackgroundRole(QPalette::Base);
    m_picture2->setForegroundRole(QPalette::Text);
    m_picture2->setAutoFillBackground(true);
    m_picture2->setAccessibleName(QStringLiteral("播放器"));
    m_playerView = new PlayerView(m_picture2);
    m_playerView->setGeometry(px(0), px(0), px(7080), px(1215));
    m_player = m_platform.player;
    m_player->setParent(this);
    bindPlayerView(m_playerView, m_player);

    m_status = new StatusBar({px(1440), px(1440), px(8440)}, this);
    m_status->setGeometry(px(0), px(6945), px(7110), px(255));
    m_status->setPanelText(1, QStringLiteral("Melodrift"));

    m_command2 = new QPushButton(QStringLiteral("翻页"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setGeometry(px(3600), px(6480), px(975), px(375));
    m_command1 = new QPushButton(QStringLiteral("搜索"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(px(2760), px(6480), px(855), px(375));

    // Tab order Command1, Command2, (frames, status bar take no focus), Text1, the player's
    // controls, the list, then the play modes.
    QList<QWidget*> chain = {m_command1, m_command2, m_text1};
    chain += m_playerView->focusableControls();
    chain += {m_list, m_option1, m_option2, m_option3};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    m_frame1->setFocusPolicy(Qt::NoFocus);
    m_frame2->setFocusPolicy(Qt::NoFocus);
    m_status->setFocusPolicy(Qt::NoFocus);
    m_command1->setFocus();

    m_menu = new QMenu(QStringLiteral("菜单"), this);
    m_menu->setObjectName(QStringLiteral("Menu"));
    m_pla = m_menu->addAction(QStringLiteral("试听"));
    m_pla->setObjectName(QStringLiteral("Pla"));
    m_menu->addSeparator()->setObjectName(QStringLiteral("lines"));
    m_dolown = m_menu->addAction(QStringLiteral("下载本首歌曲"));
    m_dolown->setObjectName(QStringLiteral("Dolown"));
    m_menu->addSeparator()->setObjectName(QStringLiteral("s"));
    m_se360 = m_menu->addAction(QStringLiteral("360浏览器获取真实MP3地址"));
    m_se360->setObjectName(QStringLiteral("se360"));
}

void MainWindow::wireEvents()
{
    m_text1->installEventFilter(this);
    // Ctrl+L and Ctrl+F go to the keyword box from anywhere in the window, its text ready to retype.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::CTRL | Qt::Key_F)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] {
            m_text1->setFocus(Qt::ShortcutFocusReason);
            m_text1->selectAll();
        });
    }
    connect(m_status, &StatusBar::MouseMove, this, &MainWindow::StatusBar1_MouseMove);
    connect(m_command1, &QPushButton::clicked, m_search, &SearchCommands::Command1_Click);
    connect(m_command2, &QPushButton::clicked, m_search, &SearchCommands::Command2_Click);
    connect(m_list, &SongListBox::Click, m_playback, &PlaybackCommands::QMListBox1_Click);
    connect(m_list, &SongListBox::DblClick, m_playback, &PlaybackCommands::QMListBox1_DblClick);
    connect(m_list, &SongListBox::MouseMove, m_playback, &PlaybackCommands::QMListBox1_MouseMove);
    connect(m_list, &SongListBox::MouseUp, m_playback, &PlaybackCommands::QMListBox1_MouseUp);
    connect(m_list, &SongListBox::rowChosen, m_playback, &PlaybackCommands::rowChosen);
    connect(m_list, &SongListBox::rowActivated, m_playback, &PlaybackCommands::rowActivated);
    connect(m_list, &SongListBox::rowMenuRequested, m_playback, &PlaybackCommands::rowMenu);
    connect(m_pla, &QAction::triggered, m_playback, &PlaybackCommands::Pla_Click);
    connect(m_dolown, &QAction::triggered, m_browser, &BrowserCommands::Dolown_Click);
    connect(m_se360, &QAction::triggered, m_browser, &BrowserCommands::se360_Click);
    connect(m_player, &MediaPlayer::PlayStateChange, m_playback,
            &PlaybackCommands::WindowsMediaPlayer1_PlayStateChange);
    connect(m_player, &MediaPlayer::StatusChange, m_playback, &PlaybackCommands::WindowsMediaPlayer1_StatusChange);
    connect(m_playerView, &PlayerView::Click, m_playback, &PlaybackCommands::WindowsMediaPlayer1_Click);

    connect(m_playback, &PlaybackCommands::songStarted, m_mpris, &MprisService::songStarted);
    connect(m_playback, &PlaybackCommands::songStarted, m_playerView,
            [this](int, const QString&, const QString& title) { m_playerView->setSongTitle(title); });
    connect(m_mpris, &MprisService::playRequested, m_playback, &PlaybackCommands::playFromList);
    connect(m_mpris, &MprisService::stopRequested, m_playback, &PlaybackCommands::stopFromDesktop);
    connect(m_mpris, &MprisService::nextRequested, m_playback, [this] { m_playback->advance(m_playback->playMode()); });
    connect(m_mpris, &MprisService::raiseRequested, this, [this] {
        show();
        raise();
        activateWindow();
    });
    connect(m_mpris, &MprisService::quitRequested, this, &QWidget::close);
}

void MainWindow::Form_Load()
{
    // The skin: a style sheet beside the program. A missing or unreadable one leaves the default look.
    QFile skin(m_platform.programDir + u"/velbrook.she");
    if (skin.open(QIODevice::ReadOnly | QIODevice::Text))
        setStyleSheet(QString::fromUtf8(skin.readAll()));

    // Case does not matter here, unlike the real-address command: the design has the two tests differ.
    if (Is360Browser(GetDefaultBrowser(*m_platform.launcher), Qt::CaseInsensitive)) {
        m_status->setPanelText(2, QStringLiteral("已安装360浏览器"));
    } else {
        m_status->setPanelText(2, QStringLiteral("未安装360浏览器！"));
        m_platform.dialogs->warn(this, QStringLiteral("警告"), QStringLiteral("检测到没有安装360安全浏览器！"));
    }
    m_playerView->setEnableContextMenu(false);
    m_search->setPageNo(QStringLiteral("1"));
    m_playback->startUp();
}

void MainWindow::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        m_search->Command1_Click();
}

void MainWindow::StatusBar1_MouseMove(int, int, float, float)
{
    m_status->setToolTipText(m_status->panelText(1) + u"  \r\n" + m_status->panelText(2));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text1 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty())
            Text1_KeyPress(text.at(0).unicode());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace melodrift
