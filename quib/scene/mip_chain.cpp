#include "quib/scene/mip_chain.h"

MipMapChain::~MipMapChain() {
    if (!levels) return;
    levels->DeleteAll();
    delete levels;
    levels = nullptr;
}
