#include "editor/SlotViews.h"

#include "editor/MySample.h"
#include "editor/SampleRange.h"

void SlotViews::SetViews(int slot, MySample* sampleView, SampleRange* rangeView)
{
  if (!Valid(slot)) return;
  mSampleView[slot] = sampleView;
  mRangeView[slot] = rangeView;
}

void SlotViews::SetLowKey(int slot, int key)
{
  if (SampleRange* view = RangeView(slot)) view->SetLowKey(key);
}

void SlotViews::SetHighKey(int slot, int key)
{
  if (SampleRange* view = RangeView(slot)) view->SetHighKey(key);
}

void SlotViews::SetRootKey(int slot, int key)
{
  if (SampleRange* view = RangeView(slot)) view->SetRootKey(key);
}

void SlotViews::SetNoteHeld(int slot, int note, bool held)
{
  if (SampleRange* view = RangeView(slot)) view->SetNoteHeld(note, held);
}

void SlotViews::ClearHeldNotes(int slot)
{
  if (SampleRange* view = RangeView(slot)) view->ClearHeldNotes();
}

void SlotViews::SamplePlayed(int slot)
{
  if (MySample* view = SampleView(slot)) view->MarkPlayed();
}

void SlotViews::SampleChanged(int slot)
{
  if (MySample* view = SampleView(slot)) view->DataReplaced();
}

void SlotViews::PrepareWaveform(int slot, const double* data, uint32_t frames, int channels)
{
  if (MySample* view = SampleView(slot)) view->PrepareWaveform(data, frames, channels);
}

void SlotViews::AdoptWaveform(int slot, const double* data)
{
  if (MySample* view = SampleView(slot)) view->AdoptWaveform(data);
}
