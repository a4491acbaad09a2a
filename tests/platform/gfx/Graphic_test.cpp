// Built only against TPicture's own header: the built-in formats must be there without the program
// naming any of their units.
#include "platform/gfx/Graphic.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(Picture, BuiltinFormatsAreKnownWithoutBeingNamed) {
    const char* expected[][2] = {
        {"png", "TPngImage"}, {"JPG", "TJPEGImage"}, {".jpeg", "TJPEGImage"},
        {"gif", "TGIFImage"}, {"ico", "TIcon"},      {"bmp", "TBitmap"},
    };
    for (auto& e : expected) {
        std::unique_ptr<TGraphic> graphic = TPicture::CreateForExtension(e[0]);
        ASSERT_TRUE(graphic) << e[0];
        EXPECT_STREQ(graphic->ClassType().Name, e[1]);
    }
    std::string filter = TPicture::FileFilter();
    for (const char* ext : {"|*.png", "|*.jpg", "|*.gif", "|*.ico", "|*.bmp"})
        EXPECT_NE(filter.find(ext), std::string::npos) << ext;
    EXPECT_FALSE(TPicture::CreateForExtension("xyz"));
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile("/nonexistent/picture.xyz"), EInvalidGraphic);

    // A format taken away stays away.
    TPicture::UnregisterFileFormat("ico");
    EXPECT_FALSE(TPicture::CreateForExtension("ico"));
    EXPECT_EQ(TPicture::FileFilter().find("*.ico"), std::string::npos);
}
