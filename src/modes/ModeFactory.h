#pragma once

#include "modes/QueueWorld.h"

#include <memory>

// The one place that knows which class serves a study track or a layer kind.

// The word-book layer for a study track (0 English to Chinese, 1 Chinese to English,
// 2 spelling, 3 dictation; any other value as 0) on book.
std::unique_ptr<TQueueStrategy> CreateBookMode(TQueueWorld &world, int track, TUserBook *book);
// The layer a request asks for; none for kinds that are not built.
std::unique_ptr<TQueueStrategy> CreateLayer(TQueueWorld &world, TLayerRequest request);
