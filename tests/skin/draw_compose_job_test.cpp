// The composition job behind `marlith skin compose`: real BMP files in a temporary folder,
// read back through the skin's own codec.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "skin/Bmp.h"
#include "skin/ComposeJob.h"
#include "skin/SkinError.h"
#include "draw_test_util.h"

#include <string>
#include <vector>

namespace skin {
namespace {

using Rows = std::vector<std::string>;
using testing::Names;

class DrawComposeJob : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Write("pic.bmp", WriteBmp24(testing::LabelledPicture(6, 6)));
        // A 4×3 mask: black where (x + y) mod 3 is not 0.
        QImage mask(4, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) mask.setPixel(x, y, (x + y) % 3 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        Write("mask.bmp", WriteBmp24(mask));
    }

    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray ReadBytes(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    Rows Result(const QString& name) const {
        const QByteArray bytes = ReadBytes(name);
        EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
        if (bytes.isEmpty()) return {};
        EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24) << "bits per pixel of " << name.toStdString();
        return Names(ReadBmp(bytes));
    }

    // The job text with every "DIR/" replaced by the temporary folder.
    QString Run(const std::string& job) {
        QByteArray text = QByteArray::fromStdString(job);
        text.replace("DIR/", (dir_.path() + "/").toUtf8());
        return RunComposeJob(text);
    }

    QTemporaryDir dir_;
};

TEST_F(DrawComposeJob, ElementImages) {
    EXPECT_EQ(Run(R"({"routine": "horizontal", "picture": "DIR/pic.bmp", "S": [0, 0, 6, 4],
                      "left": 2, "right": 2, "W": 7, "out": "DIR/h.bmp"})"),
              "");
    EXPECT_EQ(Result("h.bmp"), (Rows{"abcdcef", "ghijikl", "mnopoqr", "stuvuwx"}));

    // Top and bottom heights default to LT.y and S height - LB.y.
    Run(R"({"routine": "vertical", "picture": "DIR/pic.bmp", "S": [0, 0, 3, 4],
            "LT": [0, 1], "LB": [0, 3], "H": 5, "out": "DIR/v.bmp"})");
    EXPECT_EQ(Result("v.bmp"), (Rows{"abc", "ghi", "mno", "ghi", "stu"}));

    Run(R"({"routine": "skin", "picture": "DIR/pic.bmp", "LT": [2, 2], "RT": [4, 2],
            "LB": [2, 4], "RB": [4, 4], "C": [1, 1, 5, 5], "W": 9, "H": 8, "fill": true,
            "out": "DIR/s.bmp"})");
    EXPECT_EQ(Result("s.bmp"), (Rows{"abcdcdcef", "ghijkhijl", "mnopqnopr", "stuvwtuvx",
                                     "mzABCzABr", "shijkhijx", "ynopqnopD", "EFGHGHGIJ"}));
}

TEST_F(DrawComposeJob, FrameWritesOnlyTheImagesBuilt) {
    Run(R"({"routine": "frame", "picture": "DIR/pic.bmp", "LT": [1, 2], "RT": [4, 2],
            "LB": [2, 4], "RB": [4, 4], "C": [1, 1, 5, 5], "W": 9, "H": 8, "out": "DIR/f.bmp"})");
    EXPECT_EQ(Result("f-top.bmp"), (Rows{"acdbcdbef"}));
    EXPECT_EQ(Result("f-bottom.bmp"), (Rows{"EFGHGHGIJ"}));
    EXPECT_EQ(Result("f-left.bmp"), (Rows{"g", "s", "m", "s", "m", "y"}));
    EXPECT_EQ(Result("f-right.bmp"), (Rows{"l", "x", "r", "x", "r", "D"}));

    // Without a top repeat segment there is no top image, and no file for it.
    Run(R"({"routine": "frame", "picture": "DIR/pic.bmp", "LT": [1, 2], "RT": [1, 2],
            "LB": [2, 4], "RB": [4, 4], "C": [1, 1, 5, 5], "W": 9, "H": 8, "out": "DIR/g"})");
    EXPECT_FALSE(QFile::exists(Path("g-top.bmp")));
    EXPECT_TRUE(QFile::exists(Path("g-bottom.bmp")));
    EXPECT_EQ(Result("g-left.bmp").size(), 7u);
}

TEST_F(DrawComposeJob, MaskRegionPrintsRectanglesRowByRow) {
    EXPECT_EQ(Run(R"({"routine": "maskregion", "picture": "DIR/mask.bmp"})"),
              "[[1,0,3,1],[0,1,2,2],[3,1,4,2],[0,2,1,3],[2,2,4,3]]");
    // With a size: the resized element's shape (here one narrower than its fixed parts,
    // which has none).
    EXPECT_EQ(Run(R"({"routine": "maskregion", "picture": "DIR/mask.bmp", "W": 2, "H": 3,
                      "LT": [2, 0], "RT": [3, 0]})"),
              "null");
    // An all-black mask is one band.
    QImage black(3, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    Write("black.bmp", WriteBmp24(black));
    EXPECT_EQ(Run(R"({"routine": "maskregion", "picture": "DIR/black.bmp"})"), "[[0,0,3,2]]");
}

TEST_F(DrawComposeJob, BadJobsAreRefusedWithTheirReason) {
    Write("junk.bmp", "not a bitmap at all");
    struct Case {
        const char* job;
        const char* says;
    };
    const Case cases[] = {
        {R"({"routine": "skin")", "not JSON"},
        {R"([1, 2])", "JSON object"},
        {R"({"routine": "stretch", "picture": "DIR/pic.bmp"})", "unknown routine"},
        {R"({"picture": "DIR/pic.bmp"})", "\"routine\""},
        {R"({"routine": "skin", "picture": "DIR/absent.bmp", "W": 3, "H": 3, "out": "DIR/o.bmp"})",
         "cannot open picture"},
        {R"({"routine": "skin", "picture": "DIR/junk.bmp", "W": 3, "H": 3, "out": "DIR/o.bmp"})",
         "junk.bmp"},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "W": 3.5, "H": 3, "out": "DIR/o.bmp"})",
         "\"W\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "W": -3, "H": 3, "out": "DIR/o.bmp"})",
         "\"W\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "H": 3, "out": "DIR/o.bmp"})", "\"W\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "W": 16000, "H": 16000, "out": "DIR/o.bmp"})",
         "pixels"},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "S": [0, 0, 6], "W": 3, "H": 3,
             "out": "DIR/o.bmp"})", "\"S\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "LT": ["a", 1], "W": 3, "H": 3,
             "out": "DIR/o.bmp"})", "\"LT\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "fill": 1, "W": 3, "H": 3,
             "out": "DIR/o.bmp"})", "\"fill\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "W": 3, "H": 3})", "\"out\""},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "W": 0, "H": 3, "out": "DIR/o.bmp"})",
         "empty"},
        {R"({"routine": "skin", "picture": "DIR/pic.bmp", "W": 3, "H": 3,
             "out": "DIR/no/such/folder/o.bmp"})", "cannot write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.job);
        try {
            Run(c.job);
            ADD_FAILURE() << "accepted";
        } catch (const SkinError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace skin
