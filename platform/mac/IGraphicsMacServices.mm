// Platform services of the macOS editor: bundle paths and images, file panels, web pages, alerts and
// the pasteboard.

#include "platform/mac/IGraphicsMac.h"

#include "drawing/DRAW_PNG.h"
#include "platform/mac/MacCompat.h"
#include "platform/mac/MacMessageBox.h"
#include "platform/mac/MacTunables.h"

#include <cstring>
#include <sstream>

namespace
{
NSString* Text(const char* s)
{
  NSString* text = s ? [NSString stringWithUTF8String:s] : nil;
  return text ? text : @"";
}

std::string Utf8(NSString* s)
{
  const char* text = s ? [s UTF8String] : nullptr;
  return text ? std::string(text) : std::string();
}

// The folder path with a separator at its end, or empty.
std::string Folder(NSString* path)
{
  return path && [path length] > 0 ? Utf8(path) + "/" : std::string();
}
} // namespace

int KestruneMessageBox(const char* text, const char* caption, int type)
{
  NSAlert* alert = [[NSAlert alloc] init];
  [alert setMessageText:Text(caption)];
  [alert setInformativeText:Text(text)];
  const bool yesNo = type == IGraphics::kMessageBoxTypeYesNo;
  [alert addButtonWithTitle:yesNo ? @"Yes" : @"OK"];
  if (yesNo) [alert addButtonWithTitle:@"No"];
  const NSInteger answer = [alert runModal];
  [alert release];
  if (!yesNo) return IGraphics::kMessageBoxOK;
  return answer == NSAlertFirstButtonReturn ? IGraphics::kMessageBoxYes : IGraphics::kMessageBoxNo;
}

int IGraphicsMac::ShowMessageBox(const char* text, const char* caption, int type)
{
  if ([NSThread isMainThread]) return KestruneMessageBox(text, caption, type);
  // AppKit's windows belong to the main thread, and waiting there for the user from another thread
  // could wait for ever on a main thread that waits for this one (a host closing the editor joins the
  // loader): an OK alert goes to the view's timer instead, and a question is answered No.
  if (type == kMessageBoxTypeYesNo) return kMessageBoxNo;
  PostMessageBox(text, caption);
  return kMessageBoxOK;
}

void IGraphicsMac::GetHostPath(std::string* path)
{
  if (path) *path = Folder([[NSBundle mainBundle] bundlePath]);
}

void IGraphicsMac::GetPluginPath(std::string* path)
{
  if (!path) return;
  NSBundle* bundle = [NSBundle bundleWithIdentifier:Text(mBundleID.c_str())];
  *path = bundle ? Folder([[bundle bundlePath] stringByDeletingLastPathComponent]) : std::string();
}

DRAW_IBitmap* IGraphicsMac::LoadPlatformBitmap(int, const char* name, int scale)
{
  if (!name || !IsEditorScale(scale)) return nullptr;
  NSBundle* bundle = [NSBundle bundleWithIdentifier:Text(mBundleID.c_str())];
  // "../img/knob.png" is the resource "knob" of type png; at 150 % the one in the folder "150".
  NSString* resource = [[Text(name) lastPathComponent] stringByDeletingPathExtension];
  NSString* type = Text(kImageResourceType);
  NSString* path = nil;
  if (bundle && scale == kScale100)
    path = [bundle pathForResource:resource ofType:type];
  else if (bundle)
    path = [bundle pathForResource:resource ofType:type inDirectory:[NSString stringWithFormat:@"%d", scale]];
  if (!path || [path length] == 0) return nullptr;
  return DRAW_LoadPNG([path fileSystemRepresentation], nullptr);
}

void IGraphicsMac::ChooseFile(std::string* result, int action, std::string* dir, const char* extensions)
{
  if (!result) return;
  const std::string proposed = *result;
  result->clear();
  if (!mView) return;

  NSMutableArray* types = [NSMutableArray array];
  std::istringstream words(extensions ? extensions : "");
  for (std::string ext; words >> ext;)
    [types addObject:Text(ext.c_str())];

  NSSavePanel* panel;
  if (action == kFileOpen)
  {
    NSOpenPanel* open = [NSOpenPanel openPanel];
    [open setCanChooseFiles:YES];
    [open setCanChooseDirectories:NO];
    [open setResolvesAliases:YES];
    panel = open;
  }
  else
  {
    panel = [NSSavePanel savePanel];
    if (!proposed.empty()) [panel setNameFieldStringValue:Text(proposed.c_str())];
  }
  if ([types count] > 0)
  {
    [panel setAllowedFileTypes:types];
    [panel setAllowsOtherFileTypes:NO];
  }
  if (dir && !dir->empty()) [panel setDirectoryURL:[NSURL fileURLWithPath:Text(dir->c_str())]];
  if ([panel runModal] == NSModalResponseOK) *result = Utf8([[panel URL] path]);
}

bool IGraphicsMac::OpenWebPage(const char* url, const char*, const char*, const char*)
{
  if (!url) return false;
  NSString* text = Text(url);
  NSURL* target = std::strstr(url, "http") ? [NSURL URLWithString:text] : [NSURL fileURLWithPath:text];
  if (!target) return true;
  return [[NSWorkspace sharedWorkspace] openURL:target] ? true : false;
}

bool IGraphicsMac::SetClipboardText(const char* text)
{
  NSPasteboard* pasteboard = [NSPasteboard generalPasteboard];
  [pasteboard declareTypes:[NSArray arrayWithObject:NSPasteboardTypeString] owner:nil];
  return [pasteboard setString:Text(text) forType:NSPasteboardTypeString] ? true : false;
}
