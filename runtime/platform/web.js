// web.js: the page side of the platform layer in the browser, run before the program (emcc
// --pre-js). It keeps what the window system asks of the page (window_web.cpp): whether the page
// has the focus and is visible, full screen, and the saved-state folder, which lives in the
// browser's IndexedDB.
//
// The page may set Module.fullscreenElement (what full screen shows; the canvas by default).
// Depends on: Emscripten's FS and IDBFS. Must not touch: the page's own elements.

Module.zudodoPage = {
  focused: document.hasFocus(),
  fullscreen: false,  // the game's own idea of it, as set by its last window
  saves: 0,           // states written to IndexedDB
  saving: false,      // a write to IndexedDB is under way
  saveAgain: false,   // another is due when it ends
};

window.addEventListener('focus', function () { Module.zudodoPage.focused = true; });
window.addEventListener('blur', function () { Module.zudodoPage.focused = false; });

// The saved-state folder: IndexedDB read into /save before the program starts, and the state
// file's usual name in the working folder linked to it. An empty file stands for no state, so that
// the link always leads somewhere.
Module.preRun = [].concat(Module.preRun || [], function () {
  FS.mkdir('/save');
  FS.mount(IDBFS, {}, '/save');
  FS.symlink('/save/.gamestate', '/.gamestate');
  addRunDependency('zudodo-save');
  FS.syncfs(true, function (error) {
    if (error) console.warn('Garvolin Zudodo: the saved state could not be read', error);
    if (!FS.analyzePath('/save/.gamestate').exists) FS.writeFile('/save/.gamestate', '');
    removeRunDependency('zudodo-save');
  });
});

// Writes /save to IndexedDB; a save that arrives while a write is under way is written after it.
Module.zudodoPersist = function () {
  var page = Module.zudodoPage;
  if (page.saving) {
    page.saveAgain = true;
    return;
  }
  page.saving = true;
  FS.syncfs(false, function (error) {
    if (error) console.warn('Garvolin Zudodo: the state could not be kept', error);
    else page.saves++;
    page.saving = false;
    if (page.saveAgain) {
      page.saveAgain = false;
      Module.zudodoPersist();
    }
  });
};

// Asked for by each window the game opens. Browsers grant full screen only shortly after a click
// or key press; when refused, the game is told as if F11 were pressed again, so that it stays in
// step with the page.
Module.zudodoFullscreen = function (on) {
  var page = Module.zudodoPage;
  page.fullscreen = !!on;
  var target = Module.fullscreenElement || Module.canvas;
  if (on && !document.fullscreenElement) {
    var request = target.requestFullscreen ? target.requestFullscreen() : null;
    if (!request) Module._bbPlatformPageFullscreenKey();
    else request.catch(function () { if (page.fullscreen) Module._bbPlatformPageFullscreenKey(); });
  } else if (!on && document.fullscreenElement) {
    document.exitFullscreen().catch(function () {});
  }
};

// Full screen left by the browser's own means (Escape): the game follows, as after F11.
document.addEventListener('fullscreenchange', function () {
  if (!document.fullscreenElement && Module.zudodoPage.fullscreen) Module._bbPlatformPageFullscreenKey();
});
