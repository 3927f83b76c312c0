// No frame of the demo allocates from the heap: the whole schedule is played
// at 60 frames a second over the recording GL, with operator new counted.
// The recording stand-in allocates for every call it logs, so each GL entry
// point is wrapped at link time (-Wl,--wrap, see CMakeLists.txt) and the
// count is held off while the stand-in runs.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <new>
#include <sstream>
#include <vector>

#include "runtime/Demo.h"
#include "runtime/FrameEnd.h"
#include "runtime/VirtualClock.h"
#include "tests/support/GlRecorder.h"

namespace {

// Counts allocations while armed and not inside the GL stand-in.
struct AllocationCount {
    bool armed = false;
    int glDepth = 0;
    long count = 0;
};

AllocationCount& allocations() {
    static AllocationCount counter;
    return counter;
}

void* allocate(std::size_t size) {
    AllocationCount& counter = allocations();
    if (counter.armed && counter.glDepth == 0) ++counter.count;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    AllocationCount& counter = allocations();
    if (counter.armed && counter.glDepth == 0) ++counter.count;
    const std::size_t align = std::size_t(alignment);
    if (void* block = std::aligned_alloc(align, (size + align - 1) / align * align)) return block;
    throw std::bad_alloc();
}

// Holds the count off for as long as it lives.
struct InsideGl {
    InsideGl() { ++allocations().glDepth; }
    ~InsideGl() { --allocations().glDepth; }
    InsideGl(const InsideGl&) = delete;
    InsideGl& operator=(const InsideGl&) = delete;
};

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }

// Every GL entry point the demo calls: the wrapper holds the count off and
// calls the recording stand-in.
#define WRAP_GL(result, name, parameters, arguments) \
    extern "C" result __real_##name parameters;      \
    extern "C" result __wrap_##name parameters {     \
        const InsideGl inside;                       \
        return __real_##name arguments;              \
    }
WRAP_GL(void, glClear, (GLbitfield a), (a))
WRAP_GL(void, glClearColor, (GLclampf a, GLclampf b, GLclampf c, GLclampf d), (a, b, c, d))
WRAP_GL(void, glMatrixMode, (GLenum a), (a))
WRAP_GL(void, glLoadIdentity, (), ())
WRAP_GL(void, glPushMatrix, (), ())
WRAP_GL(void, glPopMatrix, (), ())
WRAP_GL(void, glOrtho, (GLdouble a, GLdouble b, GLdouble c, GLdouble d, GLdouble e, GLdouble f), (a, b, c, d, e, f))
WRAP_GL(void, glFrustum, (GLdouble a, GLdouble b, GLdouble c, GLdouble d, GLdouble e, GLdouble f), (a, b, c, d, e, f))
WRAP_GL(void, glTranslatef, (GLfloat a, GLfloat b, GLfloat c), (a, b, c))
WRAP_GL(void, glRotatef, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), (a, b, c, d))
WRAP_GL(void, glScalef, (GLfloat a, GLfloat b, GLfloat c), (a, b, c))
WRAP_GL(void, glBegin, (GLenum a), (a))
WRAP_GL(void, glEnd, (), ())
WRAP_GL(void, glVertex3f, (GLfloat a, GLfloat b, GLfloat c), (a, b, c))
WRAP_GL(void, glTexCoord2f, (GLfloat a, GLfloat b), (a, b))
WRAP_GL(void, glTexCoord2d, (GLdouble a, GLdouble b), (a, b))
WRAP_GL(void, glColor3f, (GLfloat a, GLfloat b, GLfloat c), (a, b, c))
WRAP_GL(void, glColor4f, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), (a, b, c, d))
WRAP_GL(void, glEnable, (GLenum a), (a))
WRAP_GL(void, glDisable, (GLenum a), (a))
WRAP_GL(void, glBlendFunc, (GLenum a, GLenum b), (a, b))
WRAP_GL(void, glGenTextures, (GLsizei a, GLuint* b), (a, b))
WRAP_GL(void, glBindTexture, (GLenum a, GLuint b), (a, b))
WRAP_GL(void, glDeleteTextures, (GLsizei a, const GLuint* b), (a, b))
WRAP_GL(void, glTexParameteri, (GLenum a, GLenum b, GLint c), (a, b, c))
WRAP_GL(void, glTexImage2D,
        (GLenum a, GLint b, GLint c, GLsizei d, GLsizei e, GLint f, GLenum g, GLenum h, const GLvoid* i),
        (a, b, c, d, e, f, g, h, i))
WRAP_GL(GLenum, glGetError, (), ())
#undef WRAP_GL

namespace {

// Ends each frame by moving the virtual clock on, taking the frame's count
// of allocations (made since the previous frame ended, so an entry switch
// counts with the frame after it) for the entry whose time it shows, and
// dropping the recorded calls so the log does not grow.
class CountingFrameEnd : public FrameEnd {
public:
    CountingFrameEnd(VirtualClock& clock, const ScheduleList& schedule) : clock(clock) {
        std::uint32_t start = 0;
        for (const ScheduleEntry& entry : schedule) {
            entryStarts.push_back(start);
            start += entry.duration();
        }
        framesPerEntry.assign(entryStarts.size(), 0);
        allocationsPerEntry.assign(entryStarts.size(), 0);
    }

    bool endFrame() override {
        std::size_t entry = 0;
        while (entry + 1 < entryStarts.size() && entryStarts[entry + 1] <= clock.position()) ++entry;
        ++framesPerEntry[entry];
        allocationsPerEntry[entry] += allocations().count;
        allocations().count = 0;
        clock.nextFrame();
        const InsideGl inside;  // the recorder's own bookkeeping
        glRecorder::reset();
        return true;
    }

    std::vector<std::uint32_t> entryStarts;
    std::vector<long> framesPerEntry;
    std::vector<long> allocationsPerEntry;

private:
    VirtualClock& clock;
};

TEST(Allocations, NoFrameOfAnyEntryAllocates) {
    glRecorder::reset();
    Demo demo;  // construction may allocate: textures, meshes, particles
    VirtualClock clock(60);
    CountingFrameEnd frameEnd(clock, demo.schedule());
    allocations().count = 0;
    allocations().armed = true;
    demo.run(clock, frameEnd);
    allocations().armed = false;

    std::ostringstream perEntry;
    long total = 0;
    for (std::size_t entry = 0; entry < frameEnd.entryStarts.size(); ++entry) {
        perEntry << "entry " << entry + 1 << ": " << frameEnd.framesPerEntry[entry] << " frames, "
                 << frameEnd.allocationsPerEntry[entry] << " allocations\n";
        EXPECT_GT(frameEnd.framesPerEntry[entry], 60) << "entry " << entry + 1 << " played under a second";
        total += frameEnd.allocationsPerEntry[entry];
    }
    EXPECT_EQ(total, 0) << perEntry.str();
    std::cout << perEntry.str();

    // The count does see an allocation made outside GL.
    allocations().armed = true;
    int* probe = new int[16];
    allocations().armed = false;
    volatile int* use = probe;
    use[0] = 1;
    delete[] probe;
    EXPECT_EQ(allocations().count, 1);
}

}  // namespace
