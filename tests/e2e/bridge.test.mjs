// End-to-end: the official MCP client drives recorder-mcp over stdio, from a
// temporary app bundle, against the stub host app and with the app down.
//
// Run by CTest with RECORDER_MCP and RECORDER_STUB_APP naming the built
// executables; `node --test tests/e2e` works the same with them set.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

import { Client } from '@modelcontextprotocol/sdk/client/index.js';
import { StdioClientTransport } from '@modelcontextprotocol/sdk/client/stdio.js';

const bridgeExecutable = process.env.RECORDER_MCP;
const stubAppExecutable = process.env.RECORDER_STUB_APP;
assert.ok(bridgeExecutable && existsSync(bridgeExecutable), 'RECORDER_MCP must name the built recorder-mcp');
assert.ok(stubAppExecutable && existsSync(stubAppExecutable), 'RECORDER_STUB_APP must name the built stub app');

const refusal =
  'E2E Recorder is not accepting agents. Ask the person to open E2E Recorder \u203A Settings \u203A ' +
  'Agents and switch on \u201CAllow agents to control E2E Recorder\u201D.';

// A bundle laid out as on macOS, with the bridge copied in (not linked: the
// bridge resolves links), and home and data folders for its environment.
function makeBundle() {
  const root = mkdtempSync('/tmp/rc-e2e-');
  const bundle = join(root, 'E2E Recorder.app');
  mkdirSync(join(bundle, 'Contents', 'MacOS'), { recursive: true });
  mkdirSync(join(root, 'home'));
  mkdirSync(join(root, 'data'));
  writeFileSync(
    join(bundle, 'Contents', 'Info.plist'),
    `<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>ProductNameCompact</key><string>E2ERec</string>
  <key>ProductNameDisplay</key><string>E2E Recorder</string>
  <key>CFBundleShortVersionString</key><string>9.8.7</string>
  <key>EnabledFeatures</key><string>mcp</string>
</dict>
</plist>
`,
  );
  const bridge = join(bundle, 'Contents', 'MacOS', 'recorder-mcp');
  copyFileSync(bridgeExecutable, bridge);
  const env = { HOME: join(root, 'home'), XDG_DATA_HOME: join(root, 'data') };
  const socketPath = join(root, 'data', 'E2ERec', 'agent.sock');
  return { root, bridge, env, socketPath, remove: () => rmSync(root, { recursive: true, force: true }) };
}

async function connect(bundle) {
  const transport = new StdioClientTransport({ command: bundle.bridge, env: bundle.env, stderr: 'pipe' });
  const client = new Client({ name: 'e2e-test', version: '1.0.0' });
  await client.connect(transport);
  return client;
}

async function waitFor(condition, timeoutMs) {
  const deadline = Date.now() + timeoutMs;
  while (!condition()) {
    if (Date.now() > deadline) throw new Error('timed out');
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

test('lists the tools and calls one on the running app', async () => {
  const bundle = makeBundle();
  const app = spawn(stubAppExecutable, ['--socket', bundle.socketPath, '--idle-seconds', '60'], {
    stdio: 'ignore',
  });
  try {
    await waitFor(() => existsSync(bundle.socketPath), 10_000);
    const client = await connect(bundle);
    assert.deepEqual(client.getServerVersion(), { name: 'e2erec', title: 'E2E Recorder', version: '9.8.7' });
    assert.match(client.getInstructions(), /^E2E Recorder records the screen of this Mac/);

    const { tools } = await client.listTools();
    assert.equal(tools.length, 29);
    assert.equal(tools[0].name, 'get_status');
    assert.equal(new Set(tools.map((tool) => tool.name)).size, 29);
    for (const tool of tools) assert.equal(tool.inputSchema.type, 'object');

    const result = await client.callTool({ name: 'add_zoom', arguments: { at: 2.5, amount: 2 } });
    assert.equal(result.isError, false);
    assert.deepEqual(result.structuredContent, {
      tool: 'add_zoom',
      arguments: { at: 2.5, amount: 2 },
      client: 'e2e-test',
    });
    assert.deepEqual(JSON.parse(result.content[0].text), result.structuredContent);

    // The app refuses names it does not know; the bridge passes that on.
    const unknown = await client.callTool({ name: 'frobnicate', arguments: {} });
    assert.equal(unknown.isError, true);
    assert.equal(unknown.structuredContent, undefined);
    assert.equal(JSON.parse(unknown.content[0].text).error.code, 'unknown_tool');

    await client.ping();
    await client.close();
  } finally {
    app.kill();
    bundle.remove();
  }
});

test('a call with the app down answers with the refusal', { timeout: 60_000 }, async () => {
  const bundle = makeBundle();
  try {
    const client = await connect(bundle);
    // The bridge polls for the app for twelve seconds before it gives up.
    const result = await client.callTool({ name: 'get_status', arguments: {} }, undefined, { timeout: 40_000 });
    assert.equal(result.isError, true);
    assert.deepEqual(JSON.parse(result.content[0].text), { error: refusal });
    await client.close();
  } finally {
    bundle.remove();
  }
});
