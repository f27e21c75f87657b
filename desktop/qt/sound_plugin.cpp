// The sound player, kept in a plugin of its own: Qt Multimedia and the audio
// libraries under it cost start-up time and memory, so the program loads
// them with its first sound instead of at start.
#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>

// Plays a .wav file once, without waiting; a new sound replaces one still
// playing. Without a sound device it stays silent.
extern "C" __attribute__((visibility("default"))) void vask_play_sound(const char* path) {
    static QSoundEffect* effect = nullptr;
    if (!effect) effect = new QSoundEffect(QCoreApplication::instance());
    effect->stop();
    effect->setSource(QUrl::fromLocalFile(QString::fromUtf8(path)));
    effect->setLoopCount(1);
    effect->play();
}
