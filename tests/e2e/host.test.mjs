// End-to-end through the built bundle: the official MCP client starts
// recorder-mcp, which starts recorder-host; every tool is called with good
// and with bad arguments, and the saved package is read back with
// ProjectPackage::load (the load-project tool) to see what changed.
//
// Run by CTest with RECORDER_MCP, RECORDER_HOST, RECORDER_LOAD_PROJECT and
// RECORDER_MAKE_SAMPLE naming the built executables.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

import { Client } from '@modelcontextprotocol/sdk/client/index.js';
import { StdioClientTransport } from '@modelcontextprotocol/sdk/client/stdio.js';

const executables = {
  bridge: process.env.RECORDER_MCP,
  host: process.env.RECORDER_HOST,
  load: process.env.RECORDER_LOAD_PROJECT,
  sample: process.env.RECORDER_MAKE_SAMPLE,
};
for (const [name, path] of Object.entries(executables)) {
  assert.ok(path && existsSync(path), `the built ${name} executable must be named in the environment`);
}

function makeBundle() {
  const root = mkdtempSync('/tmp/rc-host-e2e-');
  const bundle = join(root, 'Host Recorder.app');
  mkdirSync(join(bundle, 'Contents', 'MacOS'), { recursive: true });
  writeFileSync(
    join(bundle, 'Contents', 'Info.plist'),
    `<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
  <key>ProductNameCompact</key><string>HostRec</string>
  <key>ProductNameDisplay</key><string>Host Recorder</string>
  <key>ProductDocumentExtension</key><string>hostrec</string>
  <key>CFBundleShortVersionString</key><string>3.0.0</string>
  <key>CFBundleVersion</key><string>7</string>
  <key>CFBundleExecutable</key><string>recorder-host</string>
  <key>EnabledFeatures</key><string>mcp</string>
</dict>
</plist>
`,
  );
  copyFileSync(executables.bridge, join(bundle, 'Contents', 'MacOS', 'recorder-mcp'));
  copyFileSync(executables.host, join(bundle, 'Contents', 'MacOS', 'recorder-host'));
  execFileSync('chmod', ['+x', join(bundle, 'Contents', 'MacOS', 'recorder-mcp'), join(bundle, 'Contents', 'MacOS', 'recorder-host')]);
  const support = join(root, 'data', 'HostRec');
  const projects = join(support, 'Projects');
  mkdirSync(projects, { recursive: true });
  mkdirSync(join(root, 'home'));
  const project = join(projects, 'Tour.hostrec');
  execFileSync(executables.sample, [project, '--seed', '3']);
  return {
    root,
    project,
    support,
    bridge: join(bundle, 'Contents', 'MacOS', 'recorder-mcp'),
    env: { HOME: join(root, 'home'), XDG_DATA_HOME: join(root, 'data') },
    remove() {
      const pidFile = join(support, 'host.pid');
      if (existsSync(pidFile)) {
        try { process.kill(Number(readFileSync(pidFile, 'utf8').trim())); } catch { /* already gone */ }
      }
      rmSync(root, { recursive: true, force: true });
    },
  };
}

async function connect(bundle) {
  const transport = new StdioClientTransport({ command: bundle.bridge, env: bundle.env, stderr: 'pipe' });
  const client = new Client({ name: 'host-e2e', version: '1.0.0' });
  await client.connect(transport);
  return client;
}

function errorOf(result) {
  assert.equal(result.isError, true, JSON.stringify(result));
  assert.equal(result.structuredContent, undefined);
  return JSON.parse(result.content[0].text).error;
}

test('every tool through the bridge and the host, then the saved package', { timeout: 120000 }, async () => {
  const bundle = makeBundle();
  try {
    const client = await connect(bundle);
    const call = (name, args = {}) => client.callTool({ name, arguments: args });
    const ok = async (name, args = {}) => {
      const result = await call(name, args);
      assert.equal(result.isError, false, `${name}: ${result.content[0].text}`);
      return result.structuredContent;
    };
    const bad = async (name, args, message) => {
      const error = errorOf(await call(name, args));
      assert.equal(error.code, 'bad_argument', `${name} ${JSON.stringify(args)}`);
      if (message) assert.equal(error.message, message);
    };

    const { tools } = await client.listTools();
    assert.equal(tools.length, 29);
    const called = new Set();
    const track = (name) => called.add(name);

    // Before a project is open.
    assert.equal(errorOf(await call('get_project')).code, 'no_project');
    const status = await ok('get_status');
    assert.equal(status.recording_state, 'idle');
    assert.equal(status.version, '3.0.0 (7)');
    track('get_status');
    assert.equal(errorOf(await call('frobnicate')).code, 'unknown_tool');

    const listed = await ok('list_projects', { limit: 5 });
    assert.deepEqual(listed.projects.map((p) => p.path), [bundle.project]);
    await bad('list_projects', { limit: 0 }, 'Argument limit: must be between 1 and 200.');
    track('list_projects');

    await bad('open_project', { path: '/etc/passwd' }, 'Argument path: is outside the folders agents may use.');
    await bad('open_project', {}, 'Argument path: is required.');
    const opened = await ok('open_project', { path: bundle.project });
    assert.equal(opened.name, 'Product Tour');
    track('open_project');
    const summary = await ok('get_project');
    assert.equal(summary.duration, 60);
    track('get_project');

    for (const name of ['list_sources', 'pause_recording', 'stop_recording']) {
      const error = errorOf(await call(name));
      assert.equal(error.code, 'not_available');
      assert.match(error.message, /^Host Recorder on this host has no /);
      track(name);
    }
    assert.equal(errorOf(await call('start_recording', { max_duration_seconds: 30 })).code, 'not_available');
    await bad('start_recording', { countdown_seconds: 20 });
    track('start_recording');
    assert.equal(errorOf(await call('transcribe', { language: 'en' })).code, 'not_available');
    await bad('transcribe', { quality: 'perfect' });
    track('transcribe');
    assert.equal(errorOf(await call('export_project', { format: 'mp4' })).code, 'not_available');
    await bad('export_project', { fps: 25 });
    track('export_project');

    assert.equal((await ok('set_canvas', { aspect: '9:16' })).height, 1920);
    await bad('set_canvas', { aspect: '2:1' });
    track('set_canvas');
    assert.deepEqual(await ok('list_backgrounds'), { backgrounds: [] });
    track('list_backgrounds');
    const logo = join(bundle.root, 'home', 'Movies', 'logo.png');
    mkdirSync(join(bundle.root, 'home', 'Movies'), { recursive: true });
    writeFileSync(logo, 'not really a png');
    assert.equal((await ok('set_background', { gradient: { from: '#000000', to: '#3366FF', angle: 45 } })).background.kind, 'gradient');
    assert.equal((await ok('set_background', { image_path: logo })).background.kind, 'image');
    await bad('set_background', { color: '#000000', photo: 'x' });
    await bad('set_background', { color: 'navy' }, 'Argument color: must be a hex color like #1C1C1E.');
    track('set_background');
    assert.equal((await ok('set_frame', { padding: 0.12, corner_radius: 24, shadow: 0.5 })).padding, 0.12);
    await bad('set_frame', { padding: 0.5 }, 'Argument padding: must be between 0 and 0.3.');
    track('set_frame');

    const regenerated = await ok('regenerate_zooms');
    assert.ok(regenerated.automatic_zooms > 0);
    track('regenerate_zooms');
    const zoom = await ok('add_zoom', { at: 12, duration: 3, amount: 2.5, x: 0.3, y: 0.6 });
    await ok('add_zoom', { at: 40 });
    await bad('add_zoom', { amount: 2 }, 'Argument at: is required and must be a number.');
    await bad('add_zoom', { at: 1, amount: 5 });
    track('add_zoom');
    const removed = await ok('remove_zooms', { zoom_id: zoom.zoom_id });
    assert.equal(removed.removed, 1);
    await bad('remove_zooms', { zoom_id: zoom.zoom_id }, 'Argument zoom_id: no zoom has this id.');
    track('remove_zooms');
    await ok('undo'); // the removal: the zoom is back
    track('undo');

    await ok('add_text', { text: 'Hello 👋', look: 'beast', color: '#FFCC00', in_animation: 'pop' });
    await bad('add_text', { look: 'beast' }, 'Argument text: is required.');
    track('add_text');
    await ok('add_blur', { x: 0.1, y: 0.1, width: 0.2, height: 0.1, style: 'pixelate', amount: 0.8 });
    await bad('add_blur', { style: 'smear' });
    track('add_blur');
    await ok('set_watermark', { text: 'acme.dev', placement: 'topRight', opacity: 0.6 });
    await bad('set_watermark', { size: 1 });
    track('set_watermark');
    await ok('set_caption_style', { preset: 'beast', words_per_line: 2, highlight: true });
    await bad('set_caption_style', { words_per_line: 0 });
    track('set_caption_style');
    const srt = await ok('export_srt');
    assert.match(readFileSync(srt.file_path, 'utf8'), /^1\n00:00:01,000 --> /);
    await bad('export_srt', { output_path: srt.file_path }, 'Argument output_path: a file already exists there.');
    track('export_srt');

    const afterCut = await ok('cut', { from: 20, to: 30 });
    assert.equal(afterCut.duration, 50);
    await bad('cut', { from: 10, to: 5 }, 'Argument to: must be later than from.');
    track('cut');
    await ok('trim', { from: 0, to: 45 });
    await bad('trim', { from: 0 });
    assert.equal((await ok('undo')).undone, 'Trim');
    track('trim');

    await bad('get_job', { job_id: 'nope' }, 'Argument job_id: no job has this id.');
    await bad('get_job', {});
    track('get_job');
    await bad('wait_for_job', { job_id: 'nope', timeout_seconds: 1 }, 'Argument job_id: no job has this id.');
    await bad('wait_for_job', { job_id: 'nope', timeout_seconds: 60 });
    track('wait_for_job');
    const reveal = errorOf(await call('reveal_in_finder', { path: bundle.project }));
    assert.equal(reveal.code, 'not_available');
    await bad('reveal_in_finder', { path: '/etc/hosts' });
    track('reveal_in_finder');

    assert.equal((await ok('save')).saved, true);
    track('save');
    await client.close();
    assert.deepEqual([...called].sort(), tools.map((tool) => tool.name).sort());

    const saved = JSON.parse(execFileSync(executables.load, [bundle.project], { encoding: 'utf8' }));
    assert.equal(saved.duration, 50);
    assert.equal(saved.clips, 2);
    assert.deepEqual(saved.canvas, { width: 1080, height: 1920 });
    assert.equal(saved.padding, 0.12);
    assert.equal(saved.background, 'image');
    assert.deepEqual(saved.texts, ['Product Tour', 'Hello 👋']);
    // The sample's blur sat exactly in the cut-out 20–30 s and went with it.
    assert.equal(saved.media_kinds.blur, 1);
    assert.equal(saved.caption_style, 'beast');
    assert.equal(saved.caption_words_per_line, 2);
    assert.equal(saved.watermark, 'acme.dev');
    // The zoom removed and brought back by undo is there; the one at 40 s
    // moved up by the cut; no zoom overlaps the cut-out section's old place.
    assert.ok(saved.zooms.some((z) => z.id === zoom.zoom_id && !z.isAuto && Math.abs(z.width - 0.4) < 1e-9));
    assert.ok(saved.zooms.some((z) => !z.isAuto && z.start === 30));
    assert.ok(saved.zooms.some((z) => z.isAuto));
  } finally {
    bundle.remove();
  }
});
