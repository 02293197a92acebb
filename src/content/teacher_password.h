#pragma once
// The teacher password. It is kept as a salted PBKDF2-HMAC-SHA256 hash in
// "HESLO.TXT" in the program folder (Windows-1250, CR LF like every course
// file), on the first line of the form
//     pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>
// Other lines are notes for the teacher and are kept when the password is
// changed. Without the file the course uses kDefaultTeacherPassword. A file
// that exists but holds no well-formed hash line is an error, never a silent
// fall-back to the default.
#include <QByteArray>
#include <QString>

namespace orbino {

inline constexpr int kTeacherPasswordIterations = 100000;
inline constexpr int kMaxPasswordLength = 8; // what the password fields accept
inline constexpr char kTeacherPasswordFile[] = "HESLO.TXT";
inline constexpr char kDefaultTeacherPassword[] = "ucitel";

// RFC 8018 PBKDF2 with HMAC-SHA256.
QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations,
                        int length);

QString teacherPasswordPath(const QString& programFolder);

// True when `typed`, trimmed, is not empty and is the teacher password.
// Throws FileError when HESLO.TXT exists but cannot be read or is malformed.
bool verifyTeacherPassword(const QString& programFolder, const QString& typed);

// Why `password` cannot be set (empty text when it can): 1 to 8 characters,
// no blanks at either end (the windows trim what is typed).
QString teacherPasswordProblem(const QString& password);

// Stores a new password with a fresh salt, keeping the file's other lines.
// Throws FileError when the password is not acceptable or the file cannot be
// written.
void setTeacherPassword(const QString& programFolder, const QString& password,
                        int iterations = kTeacherPasswordIterations);

// `orbino --set-teacher-password`: asks for the new password twice on the
// terminal (without echo) and stores it in the current folder, the program
// folder. Returns the process exit code.
int setTeacherPasswordCli();

} // namespace orbino
