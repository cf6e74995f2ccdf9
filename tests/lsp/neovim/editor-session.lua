-- One editing session in headless Neovim with its built-in language client:
-- open two files of a CMake project, fix a fault in unsaved text, run the
-- command line beside the editor, save, quit. Written for Neovim 0.7 and
-- later. The environment gives:
--   KERV_NVIM_SERVER  shell command that starts the server
--   KERV_NVIM_CLI     shell command of the command-line run
--   KERV_NVIM_ROOT    the project folder (src/main.c, src/table.c)
--   KERV_NVIM_RESULT  file that receives what happened, as JSON
-- Every wait is on a condition, with a time limit; a failure ends Neovim with
-- status 1 and its reason in the result.
local env = vim.env
local result = {}

local function finish(ok, reason)
  result.ok = ok
  result.reason = reason
  vim.fn.writefile({ vim.fn.json_encode(result) }, env.KERV_NVIM_RESULT)
  vim.cmd(ok and 'qall!' or 'cquit! 1')
end

-- Every publication, counted per buffer, then handed to Neovim's own handler.
local publications = {}
local show = vim.lsp.handlers['textDocument/publishDiagnostics']
vim.lsp.handlers['textDocument/publishDiagnostics'] = function(err, params, ctx, config)
  local buffer = vim.uri_to_bufnr(params.uri)
  publications[buffer] = (publications[buffer] or 0) + 1
  return show(err, params, ctx, config)
end

local function findings(buffer)
  local list = {}
  for _, d in ipairs(vim.diagnostic.get(buffer)) do
    local lsp = (d.user_data and d.user_data.lsp) or {}
    table.insert(list, {
      line = d.lnum, col = d.col, end_col = d.end_col, severity = d.severity,
      code = d.code or lsp.code, source = d.source or lsp.source, message = d.message,
    })
  end
  table.sort(list, function(a, b) return a.line < b.line or (a.line == b.line and a.col < b.col) end)
  return list
end

local function has(buffer, code)
  for _, d in ipairs(findings(buffer)) do
    if d.code == code then return true end
  end
  return false
end

local function wait_for(what, seconds, condition)
  if not vim.wait(seconds * 1000, condition, 20) then error('timed out waiting for ' .. what) end
end

local function read(path)
  return table.concat(vim.fn.readfile(path, 'b'), '\n')
end

local function session()
  local exit_status
  local client = vim.lsp.start_client({
    name = 'kerv',
    cmd = { 'sh', '-c', env.KERV_NVIM_SERVER },
    root_dir = env.KERV_NVIM_ROOT,
    on_exit = function(code) exit_status = code end,
  })
  assert(client, 'the language client did not start')
  local function open(path)
    vim.cmd('edit ' .. vim.fn.fnameescape(path))
    local buffer = vim.api.nvim_get_current_buf()
    vim.lsp.buf_attach_client(buffer, client)
    return buffer
  end

  local main_c = env.KERV_NVIM_ROOT .. '/src/main.c'
  local main = open(main_c)
  wait_for('the findings of main.c', 120, function() return has(main, 'nullPointer') end)
  result.main_opened = findings(main)
  local table_c = open(env.KERV_NVIM_ROOT .. '/src/table.c')
  wait_for('the findings of table.c', 60, function() return has(table_c, 'arrayIndexOutOfBounds') end)
  result.table_opened = findings(table_c)

  -- An unsaved edit that keeps the fault one line lower: the text's own analysis applies the database's
  -- definitions too.
  vim.cmd('buffer ' .. main)
  local on_disk = read(main_c)
  vim.api.nvim_buf_set_lines(main, 0, 0, false, { '/* not saved yet */' })
  wait_for('the findings of the unsaved text', 60, function()
    for _, d in ipairs(findings(main)) do
      if d.code == 'nullPointer' and d.line == 7 then return true end
    end
    return false
  end)
  result.main_shifted = findings(main)

  -- An unsaved edit that removes the null dereference.
  for number, line in ipairs(vim.api.nvim_buf_get_lines(main, 0, -1, false)) do
    if line:find('return %*checked;') then
      local fixed = line:gsub('return %*checked;', 'return 1;')
      vim.api.nvim_buf_set_lines(main, number - 1, number, false, { fixed })
    end
  end
  wait_for('the unsaved fix to clear the finding', 60, function() return not has(main, 'nullPointer') end)
  result.main_edited = findings(main)
  result.file_untouched_by_edit = read(main_c) == on_disk

  -- The command line on the same folder while the editor has it open.
  result.cli_output = vim.fn.system({ 'sh', '-c', env.KERV_NVIM_CLI })
  result.cli_status = vim.v.shell_error

  local before = publications[main] or 0
  vim.cmd('write')
  wait_for('a publication after the save', 60, function() return (publications[main] or 0) > before end)
  result.main_saved = findings(main)
  result.file_saved = read(main_c) ~= on_disk

  vim.lsp.stop_client(client)
  wait_for('the server to end', 30, function() return exit_status ~= nil end)
  result.server_status = exit_status
end

local ok, reason = pcall(session)
finish(ok, (not ok) and tostring(reason) or nil)
