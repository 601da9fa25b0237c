#pragma once
// The engine's earlier mixer (one voice frame's left and right in one register), for the benchmarks: the
// same result as SamplerEngine::Mix on the same engine, bit for bit.

class SamplerEngine;

// Mixes every sounding voice of e into out[0] and out[1] (nFrames frames), then sets every voice offset
// to 0, as SamplerEngine::Mix does.
void BaselineMix(SamplerEngine& e, double** out, int nFrames);
