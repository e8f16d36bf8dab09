#include "modes/ModeFactory.h"

#include "modes/WordListStrategy.h"

std::unique_ptr<TQueueStrategy> CreateBookMode(TQueueWorld &world, int track, TUserBook *book)
{
    // Track 1 is the Chinese-to-English list; the spelling and dictation tracks study in
    // the English-to-Chinese list until their own modes exist.
    if (track == 1)
        return std::make_unique<TReverseStrategy>(world.Foundation, &world, book);
    return std::make_unique<TStandardStrategy>(world.Foundation, &world, book);
}

std::unique_ptr<TQueueStrategy> CreateLayer(TQueueWorld &world, TLayerRequest request)
{
    Q_UNUSED(world)
    Q_UNUSED(request)
    // No lookup, search, statistics, reading, writing or exercise layer exists yet.
    return nullptr;
}
