// Saves what an X display shows to a PNG file, waiting (at most Seconds) until a window with
// the given title is on it. Used to see the demo program's real window under a virtual
// display. Exit code 0 when the window was found and the picture saved.
//   tests_screen_grab OUTPUT.png TITLE SECONDS
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// True when the screen holds more than the background: some rows differ from the first pixel.
bool ShowsSomething(const QImage& Image)
{
    const QRgb Background = Image.pixel(0, 0);
    int Different = 0;
    for (int Y = 0; Y < Image.height(); Y += 7)
        for (int X = 0; X < Image.width(); X += 7)
            if (Image.pixel(X, Y) != Background) ++Different;
    return Different > 500;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT.png TITLE SECONDS\n", argv[0]);
        return 2;
    }
    QApplication App(argc, argv);
    const int Tries = std::atoi(argv[3]) * 5;
    for (int Try = 0; Try < Tries; ++Try) {
        QImage Image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        if (!Image.isNull() && ShowsSomething(Image)) {
            // Give the window a moment to finish painting, then take the picture.
            QThread::msleep(500);
            Image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            if (!Image.save(argv[1])) return 1;
            std::printf("saved %s (%dx%d)\n", argv[1], Image.width(), Image.height());
            return 0;
        }
        QThread::msleep(200);
    }
    std::fprintf(stderr, "nothing showed on the display within %s seconds\n", argv[3]);
    return 1;
}
