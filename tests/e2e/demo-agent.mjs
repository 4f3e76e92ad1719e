// The demo's agent: the official MCP client starts the bridge of a bundle
// (which starts the host) and runs a short editing session, printing what
// the agent sees. Used by scripts/demo.sh:
//
//   node tests/e2e/demo-agent.mjs <path of recorder-mcp> <project package>
import { Client } from '@modelcontextprotocol/sdk/client/index.js';
import { StdioClientTransport } from '@modelcontextprotocol/sdk/client/stdio.js';

const [bridge, project] = process.argv.slice(2);
const transport = new StdioClientTransport({ command: bridge, env: process.env, stderr: 'inherit' });
const client = new Client({ name: 'Demo Agent', version: '1.0.0' });
await client.connect(transport);
const server = client.getServerVersion();
console.log(`agent connected to ${server.name} ${server.version}`);
const { tools } = await client.listTools();
console.log(`${tools.length} tools: ${tools.map((tool) => tool.name).join(', ')}`);

function brief(value) {
  const text = JSON.stringify(value);
  return text.length > 300 ? text.slice(0, 297) + '...' : text;
}

async function call(name, args = {}) {
  const result = await client.callTool({ name, arguments: args });
  const shown = result.isError ? `ERROR ${result.content[0].text.replace(/\s+/g, ' ')}` : brief(result.structuredContent);
  console.log(`\n→ ${name} ${JSON.stringify(args)}\n  ${shown}`);
  return result.structuredContent ?? {};
}

await call('get_status');
await call('list_projects', { limit: 5 });
await call('open_project', { path: project });
const summary = await call('get_project');
console.log(`  (${summary.duration} s, ${summary.clips.length} clip, ${summary.media.length} overlays, ` +
  `${summary.captions.word_count} caption words in the “${summary.captions.style}” style)`);
await call('regenerate_zooms');
await call('add_zoom', { at: 12, duration: 3, amount: 2.5 });
await call('add_zoom', { at: 12, amount: 9 });
await call('add_text', { text: 'Three clicks, done ✅', at: 14, look: 'pill' });
await call('set_caption_style', { preset: 'beast', highlight: true, words_per_line: 3 });
await call('export_srt');
await call('cut', { from: 30, to: 35 });
await call('undo');
await call('save');
const after = await call('get_project');
console.log(`\nsaved: ${after.zooms.length} zooms, ${after.media.length} overlays, captions “${after.captions.style}”, ` +
  `${after.duration} s`);
await client.close();
