#pragma once

#include <QString>

// The program's own messages. The string-table texts keep their 30 trailing blanks: they
// are part of the stored text and are shown as they are.
namespace Messages {

// Caption of every message box of the program.
inline QString Caption() { return QStringLiteral("提醒"); }

inline QString WithTrail(const QString &text) { return text + QString(30, u' '); }

// 64864: the database belongs to another version of the program.
inline QString VersionMismatch()
{
    return WithTrail(QStringLiteral("数据库版本和程序版本不一致。程序即将退出。"));
}
// 64865: asked before the program ends from its tool bar.
inline QString ConfirmExit() { return WithTrail(QStringLiteral("您确定退出？")); }
// 64879: caption of the sign-in dialog when it switches the account.
inline QString SwitchUser() { return WithTrail(QStringLiteral("切换用户")); }

// The database file could not be opened; the program ends after this message.
inline QString CannotOpenDatabase(const QString &path)
{
    return QStringLiteral("无法打开数据库文件：%1\n程序即将退出。").arg(path);
}

// Captions and hints of the main window.
inline QString TrayHint() { return QStringLiteral("背词"); }
inline QString LoginCaption() { return QStringLiteral("登录"); }

} // namespace Messages
