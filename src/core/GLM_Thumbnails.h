#pragma once
// The container window's thumbnails: a member's bytes turned into a small picture, and the
// worker that makes them away from the window's thread. BM, MAT and SFT members are drawn as
// their windows draw their first frame (8-bit pixels through the chosen palette; a BM with
// its own palette through that one); a CMP member as its palette grid, 16 x 16 colours.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "formats/GLM_Globals.h"

class QObject;
class QThreadPool;

// The thumbnail of a member named `name` (its kind by its extension) at most side x side,
// its shape kept; a null picture for a member of another kind or one that cannot be read.
QImage MemberThumbnail(const std::string &name, std::vector<uint8_t> bytes, const TPalette &palette,
                       int side);

// Makes thumbnails on worker threads. Each finished picture is handed to `done` on the
// thread of `receiver` (the window's), never while the caller waits; requests made last are
// made first, so the members the user scrolled to come before those scrolled past.
class TThumbnailMaker
{
public:
    using TRead = std::function<std::vector<uint8_t>()>;
    using TDone = std::function<void(int key, const QImage &picture)>;

    TThumbnailMaker(QObject *receiver, TDone done, int threads = 1);
    // Drops the requests not started and waits for those running (one member each).
    ~TThumbnailMaker();
    TThumbnailMaker(const TThumbnailMaker &) = delete;
    TThumbnailMaker &operator=(const TThumbnailMaker &) = delete;

    // Queues the thumbnail of member `name`, whose bytes `read` gives on the worker.
    // `read` may raise; the member then gets a null picture.
    void Request(int key, const std::string &name, TRead read, const TPalette &palette, int side);
    // Forgets every request: none queued is made, and no picture asked for before is handed
    // on (a new palette or size makes them stale).
    void Clear();
    // Waits until every request is made and handed on to the receiver's event queue.
    void WaitForDone();

private:
    QObject *FReceiver;
    TDone FDone;
    std::unique_ptr<QThreadPool> FPool;
    // Bumped by Clear; a picture of an older generation is dropped.
    std::shared_ptr<std::atomic<int>> FGeneration;
    int FPriority = 0;
};
