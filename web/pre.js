// Runs inside the game's JavaScript before main: the command line from the page's address,
// the game's folder, and the files the game writes kept in IndexedDB across reloads.
//
// The game runs in /game with Data/ beside it, as it does in a checkout. Every file it writes
// at the top of that folder (FennowOnline.cfg, the save) is copied into /game/.kept, an
// IndexedDB folder, and synced as soon as the file is closed; at start the kept copies are put
// back before main runs.
var Module = typeof Module !== 'undefined' ? Module : {};

// ?map=NAME&author=1 becomes --map NAME --author.
Module['arguments'] = (function (search) {
  var args = [];
  var params = new URLSearchParams(search);
  var map = params.get('map');
  if (map !== null && map !== '') args.push('--map', map);
  if (params.get('author') === '1') args.push('--author');
  return args;
})(typeof location !== 'undefined' ? location.search : '');

Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var gameDir = '/game';
  var keptDir = gameDir + '/.kept';
  try { FS.mkdir(gameDir); } catch (e) { /* made by the data package */ }
  FS.mkdir(keptDir);
  FS.mount(IDBFS, {}, keptDir);
  FS.chdir(gameDir);
  // SDL reads its hints from the environment: the keyboard belongs to the canvas, so keys
  // reach the game once the canvas has been clicked and the rest of the page keeps its own.
  ENV['SDL_EMSCRIPTEN_KEYBOARD_ELEMENT'] = '#canvas';

  // The game names its files relative to its folder; a stream knows its whole path.
  function isKept(path) {
    if (typeof path !== 'string') return false;
    path = PATH_FS.resolve(path);
    return path.lastIndexOf(gameDir + '/', 0) === 0 &&
      path.indexOf('/', gameDir.length + 1) === -1 && path !== keptDir;
  }
  var restoring = false;
  var syncing = false;
  var again = false;
  var waiting = [];
  function sync() {
    if (syncing) { again = true; return; }
    syncing = true;
    FS.syncfs(false, function (err) {
      syncing = false;
      if (err) console.error('Could not keep the game\'s files: ' + err);
      if (again) { again = false; sync(); return; }
      waiting.splice(0).forEach(function (callback) { callback(); });
    });
  }
  // Calls back once every file written so far is in IndexedDB: the page waits for it before it
  // reloads, so that a restart finds the save written on quitting.
  Module['whenFilesKept'] = function (callback) {
    if (syncing) waiting.push(callback);
    else callback();
  };
  var close = FS.close;
  FS.close = function (stream) {
    var written = !restoring && stream && (stream.flags & 3) !== 0 && isKept(stream.path);
    var result = close.apply(this, arguments);
    if (written) {
      FS.writeFile(keptName(stream.path), FS.readFile(stream.path));
      sync();
    }
    return result;
  };

  // The save is written to a temporary file and renamed over the old one; the kept copy
  // follows the rename, and a file the game removes or moves aside leaves the kept folder too.
  function keptName(path) { return keptDir + '/' + PATH_FS.resolve(path).substring(gameDir.length + 1); }
  var rename = FS.rename;
  FS.rename = function (oldPath, newPath) {
    var result = rename.apply(this, arguments);
    if (!restoring && (isKept(oldPath) || isKept(newPath))) {
      if (isKept(oldPath)) { try { FS.unlink(keptName(oldPath)); } catch (e) { /* not kept */ } }
      if (isKept(newPath)) FS.writeFile(keptName(newPath), FS.readFile(newPath));
      sync();
    }
    return result;
  };
  var unlink = FS.unlink;
  FS.unlink = function (path) {
    var result = unlink.apply(this, arguments);
    if (!restoring && isKept(path)) {
      try { unlink(keptName(path)); } catch (e) { /* not kept */ }
      sync();
    }
    return result;
  };

  addRunDependency('fennow-kept-files');
  FS.syncfs(true, function (err) {
    if (err) console.error('Could not read the kept files: ' + err);
    restoring = true;
    FS.readdir(keptDir).forEach(function (name) {
      if (name === '.' || name === '..') return;
      FS.writeFile(gameDir + '/' + name, FS.readFile(keptDir + '/' + name));
    });
    restoring = false;
    removeRunDependency('fennow-kept-files');
  });
});
