// SPDX-License-Identifier: GPL-3.0-or-later
// Running out of memory in the middle of a run, injected through the global
// allocation functions of this test program: large allocations fail while armed.
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "production/CreationRun.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> failFrom{0}; // 0: every allocation is served
} // namespace

void* operator new(std::size_t size)
{
    const std::size_t limit = failFrom.load(std::memory_order_relaxed);
    void* p = limit != 0 && size >= limit ? nullptr : std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// The pixel buffers of 300 x 300 frames; Qt's own images use malloc, so decoding still works.
struct Armed {
    Armed() { failFrom = 300'000; }
    ~Armed() { failFrom = 0; }
};

class OutOfMemory : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 4; ++i) {
            QImage image(300, 300, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 60, 200, 200));
            settings.frames.push_back({QDir(pictures.path()).filePath(QStringLiteral("%1.png").arg(i)), 100});
            ASSERT_TRUE(image.save(settings.frames.back().path));
        }
        settings.width = settings.height = 300;
        settings.outputPath = QDir(pictures.path()).filePath(QStringLiteral("out.gif"));
        settings.tempFolder = temp.path();
        settings.threads = GetParam();
    }
    QTemporaryDir pictures, temp;
    CreationSettings settings;
    ImageEngine engine;
    GifAssembler assembler;
};

TEST_P(OutOfMemory, FailsTheFrameWithAMessageAndTheNextRunWorks)
{
    {
        CreationRun run(engine, assembler, settings);
        Armed armed;
        const CreationResult result = run.Run(0, {});
        EXPECT_EQ(result.status, CreationResult::Status::Failed);
        EXPECT_TRUE(result.message.startsWith(QStringLiteral("Frame 1: not enough memory")))
            << result.message.toStdString();
    }
    EXPECT_TRUE(QDir(temp.path()).isEmpty()) << "no frame files left";
    EXPECT_FALSE(QFile::exists(settings.outputPath));
    CreationRun again(engine, assembler, settings);
    EXPECT_TRUE(again.Run(0, {}).Ok());
}

TEST_P(OutOfMemory, WhileAssemblingLeavesTheOldOutput)
{
    QFile old(settings.outputPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("previous GIF") > 0);
    old.close();
    CreationRun run(engine, assembler, settings);
    ASSERT_TRUE(run.ConvertFrames({}).Ok());
    {
        Armed armed;
        const CreationResult result = run.Assemble(0);
        EXPECT_EQ(result.status, CreationResult::Status::Failed);
        EXPECT_TRUE(result.message.contains(QStringLiteral("not enough memory"))) << result.message.toStdString();
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("previous GIF"));
}

INSTANTIATE_TEST_SUITE_P(Workers, OutOfMemory, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "InOrder" : "TwoWorkers"; });

} // namespace
