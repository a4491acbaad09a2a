#include "analysis/LiveFrameSource.h"

namespace {
ILiveFrameSource* CurrentSource = nullptr;
}

ILiveFrameSource* LiveFrameSource() { return CurrentSource; }

void SetLiveFrameSource(ILiveFrameSource* Source) { CurrentSource = Source; }
