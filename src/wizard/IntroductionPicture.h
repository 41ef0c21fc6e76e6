#pragma once

#include <QImage>

namespace expwiz {

// The Introduction step's picture, 121 x 136 pixels in 24-bit colour:
// a sheet of rows and columns with an arrow into a comma-separated file.
// Drawn by the program itself, so it needs no image file.
class IntroductionPicture {
public:
    static constexpr int Width = 121;
    static constexpr int Height = 136;
    static QImage render();
};

} // namespace expwiz
