// The workbench page: shows the pane as the server draws it and turns mouse and
// keyboard input into script lines (the same lines the scripted mode reads).
'use strict';

const params = new URLSearchParams(location.search);
const scale = Number(params.get('scale')) || (window.devicePixelRatio >= 1.5 ? 2 : 1);
const $ = (id) => document.getElementById(id);
let state = null;
let shownFrame = 0;
let busy = Promise.resolve();
let inFlight = 0;
const latencies = [];  // from an input to its pane drawn, in ms
window.velkuiLatencies = latencies;
window.velkuiPending = () => inFlight;

// ------------------------------------------------------------ talking to the server

async function post(path, body) {
  const response = await fetch(path, {
    method: 'POST', headers: {'Content-Type': 'application/json'}, body: JSON.stringify(body || {}),
  });
  return response.json();
}

/// Sends one script line after the ones before it; the pane shows the result.
function send(line, started) {
  const t0 = started || performance.now();
  inFlight++;
  busy = busy.then(() => post('/api/input', {line, have: shownFrame, scale}))
    .then((reply) => show(reply, t0, true))
    .catch((error) => message(String(error), true))
    .finally(() => inFlight--);
  return busy;
}

function quote(text) {
  return '"' + text.replace(/\\/g, '\\\\').replace(/"/g, '\\"') + '"';
}

// ------------------------------------------------------------ showing the state

function show(reply, t0, fromInput) {
  if (!reply || reply.frame === undefined) return;
  state = reply;
  window.velkuiState = reply;
  $('pane-name').textContent = reply.pane || 'no pane';
  $('status').textContent = !reply.running ? 'not running' : reply.shown ? 'shown' : 'suspended';
  $('suspend').textContent = reply.shown ? 'Suspend' : 'Resume';
  $('reload').hidden = !reply.rebuilt;
  $('record').textContent = reply.recording ? `Stop recording (${reply.recorded})` : 'Record';
  $('record').classList.toggle('on', reply.recording);
  presets(reply.presets || []);
  registry(reply.registry || []);
  journal(reply.journal);
  if (fromInput) beep(reply.beeps || 0);
  message(reply.error || '', Boolean(reply.error));
  if (reply.picture) put(reply, reply.picture, t0);
  else if (reply.frame !== shownFrame) picture(reply, t0).catch(() => {});
  alertBox(reply.alert);
}

/// Puts a region that came with a reply: bytes R, G, B, A in base 64.
function put(reply, pic, t0) {
  const text = atob(pic.rgba), bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
  draw(reply, pic.frame, pic.region, bytes.buffer, t0);
}

/// Fetches what changed in the pane since the frame shown (all of it the first
/// time, or when frames were missed) and puts it on the canvas.
async function picture(reply, t0) {
  const width = reply.width * scale, height = reply.height * scale;
  const canvas = $('pane');
  const fresh = canvas.width !== width || canvas.height !== height;
  const response = await fetch(`/pane.rgba?scale=${scale}&have=${fresh ? -1 : shownFrame}`);
  const frame = Number(response.headers.get('X-Frame'));
  const [x, y, w, h] = (response.headers.get('X-Region') || '').split(' ').map(Number);
  const bytes = await response.arrayBuffer();
  if (response.ok) draw(reply, frame, [x, y, w, h], bytes, t0);
}

function draw(reply, frame, [x, y, w, h], bytes, t0) {
  const width = reply.width * scale, height = reply.height * scale;
  const canvas = $('pane');
  const fresh = canvas.width !== width || canvas.height !== height;
  if (frame <= shownFrame || bytes.byteLength !== w * h * 4 || (fresh && w !== width)) return;
  if (fresh) {
    canvas.width = width;
    canvas.height = height;
    canvas.style.width = `${reply.width}px`;
    canvas.style.height = `${reply.height}px`;
  }
  if (w > 0) canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(bytes), w, h), x, y);
  shownFrame = frame;
  canvas.dataset.frame = frame;
  requestAnimationFrame(() => { if (t0) latencies.push(performance.now() - t0); });
}

function presets(names) {
  const select = $('preset');
  if (select.dataset.names === names.join('\n')) return;
  select.dataset.names = names.join('\n');
  select.replaceChildren(...names.map((n) => new Option(n, n)));
}

function registry(rows) {
  const body = $('registry').tBodies[0];
  const before = new Map([...body.rows].map((r) => [r.cells[0].textContent, r.cells[2].textContent]));
  body.replaceChildren(...rows.map((row) => {
    const tr = document.createElement('tr');
    const value = typeof row.value === 'string' ? quote(row.value) : String(row.value);
    for (const text of [row.key, `${row.size} (${row.code})`, value]) {
      const td = document.createElement('td');
      td.textContent = text;
      tr.append(td);
    }
    tr.dataset.key = row.key;
    if (before.size && before.get(row.key) !== value) tr.cells[2].classList.add('changed');
    return tr;
  }));
}

function journal(tail) {
  if (!tail) return;
  const pre = $('journal');
  const atEnd = pre.scrollTop + pre.clientHeight >= pre.scrollHeight - 4;
  pre.textContent = tail.lines.join('\n');
  if (atEnd) pre.scrollTop = pre.scrollHeight;
}

function beep(count) {
  const badge = $('beep');
  badge.textContent = count > 1 ? `beep \u00d7${count}` : 'beep';
  badge.classList.toggle('on', count > 0);
  if (count > 0) {
    const stage = $('stage');
    stage.classList.remove('beep');
    void stage.offsetWidth;  // restarts the flash
    stage.classList.add('beep');
  }
}

function message(text, isError) {
  $('message').textContent = text;
  $('message').classList.toggle('error', isError);
}

function alertBox(alert) {
  const modal = $('alert');
  modal.hidden = !alert;
  if (!alert) return;
  $('alert-kind').textContent = alert.kind;
  $('alert-text').textContent = alert.text;
  $('alert-buttons').replaceChildren(...alert.buttons.map((title, i) => {
    const button = document.createElement('button');
    button.textContent = title;
    button.addEventListener('click', () => {
      modal.hidden = true;
      const t0 = performance.now();
      busy = busy.then(() => post('/api/answer', {item: i + 1, have: shownFrame, scale}))
        .then((r) => show(r, t0, true));
    });
    return button;
  }));
  $('alert-buttons').firstChild.focus();
}

// ------------------------------------------------------------ mouse

function at(event) {
  const r = $('pane').getBoundingClientRect();
  return {x: (event.clientX - r.left) * state.width / r.width, y: (event.clientY - r.top) * state.height / r.height};
}

function inside(c, p) {
  const [top, left, bottom, right] = c.bounds;
  return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
}

/// The frontmost control under the point that takes a click (controls come in
/// embedding order, so later ones are on top).
function controlAt(p) {
  const skip = new Set(['rgrp', 'upan', 'stxt', 'root']);
  const controls = state.controls || [];
  for (let i = controls.length - 1; i >= 0; i--) {
    const c = controls[i];
    if (c.visible && !skip.has(c.kind) && inside(c, p) && (c.id || c.group)) return c;
  }
  return null;
}

function sliderValue(c, p) {
  const [top, left, bottom, right] = c.bounds;
  const vertical = bottom - top > right - left;
  const length = (vertical ? bottom - top : right - left) - 14;
  const along = vertical ? bottom - 7 - p.y : p.x - left - 7;
  const fraction = Math.min(1, Math.max(0, along / length));
  return Math.round(c.min + fraction * (c.max - c.min));
}

function drag(c, event) {
  let pending = [sliderValue(c, at(event))];
  let last = null;
  const flush = (t0) => {
    if (!pending.length) return;
    last = pending[pending.length - 1];
    send(`drag ${c.id} ${pending.join(' ')}`, t0);
    pending = [];
  };
  flush(performance.now());
  const move = (e) => {
    const v = sliderValue(c, at(e));
    if (v !== last && v !== pending[pending.length - 1]) pending.push(v);
    if (inFlight === 0) flush(performance.now());
  };
  const up = (e) => {
    move(e);
    flush(performance.now());
    removeEventListener('mousemove', move);
    removeEventListener('mouseup', up);
  };
  addEventListener('mousemove', move);
  addEventListener('mouseup', up);
}

function hold(c, event) {
  const [top, , bottom] = c.bounds;
  const arrow = at(event).y < (top + bottom) / 2 ? 'up' : 'down';
  send(`hold ${c.id} ${arrow} 1`);
  const timer = setInterval(() => { if (inFlight === 0) send(`hold ${c.id} ${arrow} 1`); }, 150);
  const up = () => { clearInterval(timer); removeEventListener('mouseup', up); };
  addEventListener('mouseup', up);
}

function openMenu(c) {
  const menu = $('menu');
  const [, left, bottom] = c.bounds;
  menu.style.left = `${left}px`;
  menu.style.top = `${bottom}px`;
  menu.replaceChildren(...c.menu.map((entry, i) => {
    const div = document.createElement('div');
    div.textContent = entry.text;
    div.hidden = entry.hidden;
    div.className = entry.enabled ? 'entry' : 'disabled';
    if (i + 1 === c.value) div.classList.add('chosen');
    div.dataset.entry = i + 1;
    return div;
  }));
  menu.hidden = false;
  menu.dataset.control = c.id;
}

$('menu').addEventListener('mousedown', (event) => {
  event.stopPropagation();
  const entry = event.target.closest('div.entry');
  if (!entry) return;
  $('menu').hidden = true;
  send(`choose ${$('menu').dataset.control} ${entry.dataset.entry}`);
});

$('stage').addEventListener('mousedown', (event) => {
  if (event.button !== 0 || !state || !state.controls) return;
  event.preventDefault();
  $('stage').focus();
  $('menu').hidden = true;
  const c = controlAt(at(event));
  if (!c || !c.active) return;
  if (c.kind === 'sldr') return drag(c, event);
  if (c.kind === 'larr') return hold(c, event);
  if (c.kind === 'popb') return openMenu(c);
  if (c.kind === 'rdio' && c.group) return send(`choose ${c.group} ${c.index}`);
  send(`click ${c.id}`);
});

document.addEventListener('mousedown', (event) => {
  if (!$('stage').contains(event.target)) $('menu').hidden = true;
});

// ------------------------------------------------------------ keys

const namedKeys = {Backspace: 'backspace', Escape: 'escape', Tab: 'tab', Enter: 'return',
  ArrowLeft: 'left', ArrowRight: 'right'};

$('stage').addEventListener('keydown', (event) => {
  if (event.ctrlKey || event.metaKey || event.altKey) return;  // paste comes as its own event
  if (event.key === 'Escape' && !$('menu').hidden) return void ($('menu').hidden = true);
  if (namedKeys[event.key]) {
    event.preventDefault();
    send(`key ${namedKeys[event.key]}`);
  } else if (event.key.length === 1) {
    event.preventDefault();
    send(`type ${quote(event.key)}`);
  }
});

$('stage').addEventListener('paste', (event) => {
  event.preventDefault();
  const text = event.clipboardData.getData('text/plain');
  if (text) send(`paste ${quote(text)}`);
});

// ------------------------------------------------------------ buttons

$('suspend').addEventListener('click', () => send(state && state.shown ? 'suspend' : 'resume'));
$('save-settings').addEventListener('click', () => send(`save-settings ${quote($('settings-file').value)}`));
$('load-settings').addEventListener('click', () => send(`load-settings ${quote($('settings-file').value)}`));
$('apply-preset').addEventListener('click', () => {
  if ($('preset').value) send(`preset ${quote($('preset').value)}`);
});
$('record').addEventListener('click', () => {
  busy = busy.then(() => post('/api/record', {on: !(state && state.recording)})).then((r) => show(r));
});
$('reload').addEventListener('click', () => {
  busy = busy.then(() => post('/api/reload')).then((r) => show(r, performance.now()));
});

// The state now and then: a rebuilt plug-in, or a change made elsewhere.
async function poll() {
  if (inFlight === 0 && $('alert').hidden) {
    try {
      show(await (await fetch('/api/state')).json());
    } catch (error) {
      message('the workbench does not answer', true);
    }
  }
  setTimeout(poll, 1000);
}
poll();
