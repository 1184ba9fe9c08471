#!/usr/bin/env python3
"""quarry-cli export, diff and compare, their output read back with Python's own json
and sqlite3 modules. Usage: export_commands_test.py QUARRY_CLI [TestCase...]"""
import collections, fcntl, json, os, pathlib, re, resource, signal, sqlite3, string, subprocess, sys, tempfile, time, unittest

CLI = sys.argv.pop(1)


def item(zrid, name, ql=b'10', type_=b'Misc', extra=b'', body=b''):
    return b''.join([b'<Item ZRID="%d" Name="%s"' % (zrid, name), b' QL="%s"' % ql if ql else b'',
                     b' ItemType="%s"' % type_ if type_ else b'', extra, b'>', body, b'</Item>'])


def decode_1252(data):  # as the program reads it: unassigned bytes are the C1 controls of that value
    return ''.join(bytes([b]).decode('cp1252', errors='ignore') or chr(b) for b in data)


# Every kind of member: escapes and 8-bit text in names, values and the
# description; negative and zero numbers; an empty requirement set, an action
# without sets, a function without a body.
DESCRIPTION = b'"q" \\ tab\t line\n \x01\x1f caf\xe9 \x80 \x81 \xff'
RICH = item(5, b'Axe \\ &amp; \xe9\x01', type_=b'weapon', body=b'<Description>' + DESCRIPTION + (
    b'</Description><Attribute Name="b" Value="2"/><Attribute Name="A" Value="\x9f"/>'
    b'<Attribute Name="a" Value="1"/><AtkValue Name="Melee" Percent="-3"/><DefValue Name="Dodge" Percent="0"/>'
    b'<Action Name="Wield"><Requirement Stat="Str" Value="5"/><Requirement/></Action><Action Name="Free"></Action>'
    b'<Event Name="OnUse"><Function Name="Hit" Target="User"><Argument Value="5"/>'
    b'<Requirement Stat="X" Value="1"/><Argument Value="\xe9"/></Function><Function Name="Wait"/></Event>'
    b'<Event Name="OnWear"></Event>'))
RICH_JSON = {
    'zrid': 5, 'name': 'Axe \\ &amp; \xe9\x01', 'ql': 10, 'type': 'Weapon', 'nano': False,
    'description': decode_1252(DESCRIPTION), 'attributes': {'A': '\u0178', 'a': '1', 'b': '2'},
    'attack': {'Melee': -3}, 'defense': {'Dodge': 0},
    'actions': {'Free': [], 'Wield': [{'Stat': 'Str', 'Value': '5'}, {}]},
    'events': {'OnUse': [{'attributes': {'Name': 'Hit', 'Target': 'User'},
                          'requirements': [{'Stat': 'X', 'Value': '1'}], 'arguments': ['5', '\xe9']},
                         {'attributes': {'Name': 'Wait'}, 'requirements': [], 'arguments': []}],
               'OnWear': []},
    'folders': ['Weapon/Melee']}
# No type and no body: null type, the stand-in description, empty members.
PLAIN = item(7, b'Plain', type_=None)
PLAIN_JSON = {'zrid': 7, 'name': 'Plain', 'ql': 10, 'type': None, 'nano': False,
              'description': "--there's no description for this item--", 'attributes': {},
              'attack': {}, 'defense': {}, 'actions': {}, 'events': {}, 'folders': []}
EVERY_BYTE = bytes(b for b in range(1, 256) if b != ord('<'))
# Folders are the paths below the root, in tree order (skill folders in the
# order first met): several, one or none; item 16 has no QL and does not load.
FILED = [item(10, b'W10', type_=b'Weapon', body=b'<AtkValue Name="B" Percent="1"/>'),
         item(11, b'W11', type_=b'Weapon', body=b'<AtkValue Name="A" Percent="1"/><AtkValue Name="B" Percent="2"/>'),
         item(12, b'Calm', ql=None, type_=b'Weapon', extra=b' IsNano="True"'),
         item(15, b'Odd', type_=b'Tower'), item(16, b'Lost', ql=None)]
FILED_FOLDERS = {10: ['Weapon/B'], 11: ['Weapon/B', 'Weapon/A'], 12: ['Nanoprogram'], 15: []}
EXPORTED = [RICH, PLAIN, item(9, b'All', body=b'<Description>' + EVERY_BYTE + b'</Description>'), *FILED]


class CliTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = self.enterContext(tempfile.TemporaryDirectory(prefix='quarry-export-test-'))
        os.environ['XDG_CACHE_HOME'] = self.path('cache')  # no case reads another's cache or the user's

    def path(self, name):
        return os.path.join(self.folder, name)

    def items_file(self, name, *items):
        pathlib.Path(self.path(name)).write_bytes(b'<Items>' + b''.join(items) + b'</Items>')
        return self.path(name)

    def run_cli(self, *args, **options):
        return subprocess.run([CLI, *args], capture_output=True, **options)

    def export_lines(self, *items):
        done = self.run_cli('export', '--format', 'jsonl', self.items_file('items.xml', *items))
        self.assertEqual((done.returncode, done.stderr), (0, b''))
        return [json.loads(line) for line in done.stdout.decode('utf-8').splitlines()]

    def assertExitsWith(self, status, *cases):
        for args in cases:
            self.assertEqual(self.run_cli(*args).returncode, status, args)


class JsonLines(CliTestCase):
    def test_every_member_reads_back_in_member_order_for_loaded_items_only(self):
        lines = self.export_lines(*EXPORTED)
        self.assertEqual([line['zrid'] for line in lines], [5, 7, 9] + sorted(FILED_FOLDERS))
        rich, plain, every_byte, *filed = lines
        self.assertEqual(list(rich), list(RICH_JSON))  # Python's objects keep the order read
        self.assertEqual(list(rich['attributes']), ['A', 'a', 'b'])  # byte order
        self.assertEqual((rich, plain), (RICH_JSON, PLAIN_JSON))
        self.assertEqual(every_byte['description'], decode_1252(EVERY_BYTE))
        self.assertEqual({line['zrid']: line['folders'] for line in filed}, FILED_FOLDERS)




def hostile_items():
    """Quotes, NUL and 8-bit bytes in every kind of text, slots in a Slot text,
    a text of 16 MiB and an item of 1,000,000 attributes."""
    return [item(20, b'Q"\'\x00\xff', type_=b'Armor', body=b'<Attribute Name="Slot" Value="Neck Head \x80"/>'
                 b'<Attribute Name="n\x00\xe9" Value="-0\x00"/><Attribute Name="Big" Value="+999999999999999999"/>'
                 b'<Attribute Name="Huge" Value="1000000000000000000"/><Action Name="Wear\x00"><Requirement '
                 b'Stat="\xe9" Operator="&quot;" Value="-7"/><Requirement Value="x\x00"/></Action>'),
            item(21, b'Tall', type_=b'Utility', body=b'<Description>' + (EVERY_BYTE * (1 << 16))[:(16 << 20) - 64] +
                 b'</Description><Attribute Name="Slot" Value="UTIL3 BELT NCU1"/>'),
            item(22, b'Many', body=b''.join(b'<Attribute Name="a%d" Value="%d"/>' % (i, i) for i in range(10 ** 6)))]


TABLES = {'items': ['zrid', 'name', 'ql', 'type', 'nano', 'description'],
          'attributes': ['zrid', 'name', 'value', 'number'], 'skills': ['zrid', 'kind', 'name', 'percent'],
          'requirements': ['zrid', 'action', 'set_no', 'stat', 'operator', 'value', 'number', 'pairs'],
          'functions': ['zrid', 'event', 'function_no', 'name', 'value'],
          'function_requirements': ['zrid', 'event', 'function_no', 'set_no', 'stat', 'operator', 'value', 'number',
                                    'pairs'],
          'arguments': ['zrid', 'event', 'function_no', 'arg_no', 'value'], 'folders': ['zrid', 'path'],
          'slots': ['zrid', 'slot'], 'item_text': ['name', 'description'], 'attribute_names': ['name', 'items'],
          'meta': ['name', 'value']}
# Indexes (table, leading columns) besides those on zrid that every item's table has.
INDEXES = {('items', 'name'), ('attributes', 'name', 'number'), ('requirements', 'stat', 'number'),
           ('function_requirements', 'stat', 'number'), ('folders', 'path'), ('slots', 'slot')}


def whole(text):
    """The value as the query language's whole number: a sign, 1 to 18 digits, nothing else."""
    return int(text) if text is not None and re.fullmatch(r'[+-]?[0-9]{1,18}', text) else None


def set_columns(pairs):
    return pairs.get('Stat'), pairs.get('Operator'), pairs.get('Value'), whole(pairs.get('Value')), tuple(pairs.items())


def add_rows(rows, line, slots):
    """Adds the rows the database holds for one exported item, by table."""
    z, attributes = line['zrid'], line['attributes']
    rows['items'].append((z, line['name'], line['ql'], line['type'], int(line['nano']), line['description']))
    rows['attributes'] += [(z, k, v, whole(v)) for k, v in attributes.items()]
    rows['skills'] += [(z, kind, k, v) for kind in ('attack', 'defense') for k, v in line[kind].items()]
    for action, sets in line['actions'].items():
        rows['requirements'] += [(z, action, n, *set_columns(s)) for n, s in enumerate(sets, 1)] or [
            (z, action) + (None,) * 6]
    for event, functions in line['events'].items():
        rows['functions'] += [(z, event, f, *pair) for f, function in enumerate(functions, 1)
                              for pair in (list(function['attributes'].items()) or [(None, None)])] or [
            (z, event, None, None, None)]
        for f, function in enumerate(functions, 1):
            rows['function_requirements'] += [(z, event, f, n, *set_columns(s))
                                              for n, s in enumerate(function['requirements'], 1)]
            rows['arguments'] += [(z, event, f, a, v) for a, v in enumerate(function['arguments'], 1)]
    rows['folders'] += [(z, path) for path in line['folders']] or [(z, None)]
    rows['slots'] += [(z, slot) for slot in slots if slot in attributes.get('Slot', '')]
    rows['item_text'].append((line['name'], line['description']))
    rows['attribute_names'] += [(k,) for k in attributes]


def read_rows(db, table):
    """The table's rows, its JSON objects read as (name, value) pairs in stored order."""
    rows = db.execute(f'SELECT * FROM {table}').fetchall()
    if 'pairs' in TABLES[table]:
        rows = [row[:-1] + (tuple(json.loads(row[-1]).items()) if row[-1] else None,) for row in rows]
    return rows


class Database(CliTestCase):
    def export(self, *args, items=EXPORTED):
        return self.run_cli('export', '--format', 'sqlite', '--output', self.path('out.db'), *args,
                            self.items_file('items.xml', *items))

    def slot_names(self):
        """The slot folders of the tree: those below Armor and Utility."""
        tree = self.run_cli('tree', self.items_file('slots.xml', PLAIN)).stdout.decode().splitlines()
        return [line.split('\t')[0].strip() for n, line in enumerate(tree) if line.startswith('    ') and
                [up for up in tree[:n] if up.startswith('  ') and up[2] != ' '][-1].split('\t')[0].strip()
                in ('Armor', 'Utility')]

    def test_an_existing_file_is_replaced_only_with_force_by_the_rows_of_the_json_export(self):
        pathlib.Path(self.path('out.db')).write_bytes(b'keep')
        os.chmod(self.path('out.db'), 0o604)
        refused = self.export()
        self.assertEqual(refused.returncode, 1)
        self.assertIn(b'--force', refused.stderr)
        self.assertEqual(pathlib.Path(self.path('out.db')).read_bytes(), b'keep')
        exported = EXPORTED + hostile_items()
        self.assertEqual(self.export('--force', items=exported).returncode, 0)
        self.assertEqual(sorted(os.listdir(self.folder)), ['items.xml', 'out.db'])
        self.assertEqual(os.stat(self.path('out.db')).st_mode & 0o777, 0o604)
        info = os.stat(self.path('items.xml'))
        expected, slots = {table: [] for table in TABLES}, self.slot_names()
        for line in self.export_lines(*exported):
            add_rows(expected, line, slots)
        expected['attribute_names'] = list(collections.Counter(name for (name,) in expected['attribute_names']).items())
        expected['meta'] = [('source_file', 'items.xml'), ('source_size', info.st_size), ('source_modified', time.strftime(
            '%Y-%m-%dT%H:%M:%SZ', time.gmtime(info.st_mtime))), ('program_version', self.run_cli('--version').stdout.split()[1].decode())]
        with sqlite3.connect(self.path('out.db')) as db:
            tables = {name for (name,) in db.execute("SELECT name FROM sqlite_master WHERE type = 'table'")}
            self.assertEqual({name for name in tables if not re.match('sqlite_|item_text_', name)}, set(TABLES))
            self.assertEqual(db.execute('PRAGMA user_version').fetchone(), (1,))
            db.execute("INSERT INTO item_text(item_text) VALUES ('integrity-check')")  # the index holds the texts
            indexes = set()
            for table, columns in TABLES.items():
                self.assertEqual([c[1] for c in db.execute(f'PRAGMA table_info({table})')], columns)
                self.assertEqual(collections.Counter(read_rows(db, table)), collections.Counter(expected[table]), table)
                for (index,) in db.execute(f"SELECT name FROM pragma_index_list('{table}')"):
                    indexes.add((table, *(c[2] for c in db.execute(f"PRAGMA index_info('{index}')"))))
            for table, *columns in INDEXES:
                self.assertTrue(any(index[:len(columns) + 1] == (table, *columns) for index in indexes), columns)
            self.assertEqual({index[0] for index in indexes if index[1] == 'zrid'}, set(TABLES) - {
                'items', 'item_text', 'attribute_names', 'meta'})

    def test_failed_writes_end_with_exit_1_name_what_failed_and_leave_no_file_behind(self):
        with open('/dev/full', 'wb') as full:
            done = subprocess.run([CLI, 'export', self.items_file('items.xml', RICH)],
                                  stdout=full, stderr=subprocess.PIPE)
        self.assertEqual(done.returncode, 1)
        self.assertTrue(done.stderr.startswith(b'quarry-cli: write error: '), done.stderr)

        def limit_file_size():  # to 64 KiB: the export fails part way through, without ending on SIGXFSZ
            resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 16, 1 << 16))
        many = [item(i, b'Item %d' % i, body=b'<Attribute Name="Mass" Value="%d"/>' % i) for i in range(1, 3000)]
        for output, reason in ((['--format', 'sqlite'], rb'[A-Z]+( [A-Z]+)*( \w+)?: (?!not an error).+'),
                               (['--format', 'jsonl'], rb'File too large')):
            done = self.run_cli('export', *output, '--output', self.path('out.db'),
                                self.items_file('items.xml', *many), preexec_fn=limit_file_size)
            self.assertEqual(done.returncode, 1, output)
            self.assertRegex(done.stderr, rb'^quarry-cli: cannot write \S+out.db: ' + reason + rb'\n$')
            self.assertEqual(os.listdir(self.folder), ['items.xml'])

    def test_force_replaces_only_a_regular_file_of_any_valid_name(self):
        os.mkfifo(self.path('fifo'))
        os.symlink(self.path('kept'), self.path('link'))
        os.symlink('/dev/null', self.path('null'))
        pathlib.Path(self.path('kept')).write_bytes(b'keep')
        for name in ('fifo', 'link', 'null'):
            done = self.run_cli('export', '--output', self.path(name), '--force', self.items_file('items.xml', RICH))
            self.assertEqual((done.returncode, done.stderr), (1, b'quarry-cli: cannot write %s: not a regular file; '
                                                              b'only a regular file is replaced\n' % self.path(name).encode()))
        self.assertEqual((pathlib.Path(self.path('kept')).read_bytes(), os.readlink(self.path('null'))), (b'keep', '/dev/null'))
        long = self.path('o' * 250)
        self.assertEqual(self.export('--force', '--output', long).returncode, 0)
        self.assertEqual(len(sqlite3.connect(long).execute('SELECT * FROM items').fetchall()), len(FILED_FOLDERS) + 3)

    def test_an_export_ended_by_a_signal_leaves_the_target_and_no_temporary_file(self):
        many = self.items_file('many.xml', *(item(i, b'Item %d' % i, body=b'<Description>' + b'word ' * 200 +
                                                   b'</Description>') for i in range(1, 30000)))
        for ending in (signal.SIGHUP, signal.SIGINT, signal.SIGQUIT, signal.SIGTERM, signal.SIGUSR1, signal.SIGUSR2,
                       signal.SIGALRM, signal.SIGPIPE, signal.SIGVTALRM, signal.SIGRTMIN, signal.SIGKILL):
            pathlib.Path(self.path('out.db')).write_bytes(b'keep')
            export = subprocess.Popen([CLI, 'export', '--format', 'sqlite', '--output', self.path('out.db'), '--force',
                                       many], stderr=subprocess.DEVNULL)
            while set(os.listdir(self.folder)) <= {'many.xml', 'out.db'}:  # until the temporary file is there
                self.assertIsNone(export.poll())
            export.send_signal(ending)
            self.assertEqual(export.wait(), -ending)
            self.assertEqual(pathlib.Path(self.path('out.db')).read_bytes(), b'keep')
            left = sorted(set(os.listdir(self.folder)) - {'many.xml', 'out.db'})
            self.assertEqual(bool(left), ending == signal.SIGKILL, ending)
        # What SIGKILL left goes with the next export to the same file, but for a file some export holds.
        held = left[0][:-6] + 'Held00'
        with open(self.path(held), 'w') as holder:
            fcntl.flock(holder, fcntl.LOCK_EX)
            self.assertEqual(self.export('--force').returncode, 0)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted([held, 'items.xml', 'many.xml', 'out.db']))

    def test_the_readme_queries_find_what_the_json_export_says(self):
        def tokens(text):  # as the full-text index splits and folds
            return re.findall(r'[0-9a-z\x80-\U0010ffff]+', text.translate(str.maketrans(string.ascii_uppercase,
                                                                                       string.ascii_lowercase)))

        def near(words, a='storm', b='signal'):  # within ten words of each other
            return any(abs(i - j) <= 11 for i, x in enumerate(words) for j, y in enumerate(words) if (x, y) == (a, b))

        def strength_below_400(line):
            return any(s.get('Stat') == 'Strength' and (whole(s.get('Value')) or 400) < 400
                       for sets in line['actions'].values() for s in sets)
        texts = [b'storm and signal', b'Storm, ' + b'x ' * 10 + b'signal', b'storm ' + b'x ' * 11 + b'signal',
                 b'signals of a storm', b'\xe9storm signal storm']
        items = [item(100000 + i, b'It\xe9m %d' % (i * 7 % 11), ql=b'%d' % (i * 13 % 40), type_=(
            b'Armor', b'Weapon', b'Misc', b'Tower')[i % 4], body=b'<Description>%s</Description>' % texts[i % 5] +
            b'<Attribute Name="Slot" Value="%s"/>' % (b'Head', b'Neck Head', b'Back', b'HeadX', b'')[i % 5] +
            b'<Attribute Name="Range" Value="%s"/>' % (b'%d' % (i * 5 % 17), b'+3', b'far')[i % 3] * (i % 7 > 0) +
            b'<Action Name="ToWear"><Requirement Stat="Strength" Value="%s"/></Action>' % (
                b'399', b'400', b'-5', b'x1', b'+3')[i % 5]) for i in range(90)]
        lines = self.export_lines(*items)
        self.assertEqual(self.export(items=items).returncode, 0)
        expected = [
            sorted(((l['zrid'], l['name'], l['ql']) for l in lines if l['type'] == 'Armor' and
                    'Head' in l['attributes'].get('Slot', '') and strength_below_400(l)), key=lambda r: (-r[2], r[0])),
            sorted(((l['zrid'], l['name'], whole(l['attributes'].get('Range'))) for l in lines if l['type'] == 'Weapon'
                    and whole(l['attributes'].get('Range')) is not None), key=lambda r: (-r[2], r[0]))[:20],
            [(l['zrid'], l['name']) for l in lines if not l['folders']],
            [sorted(l['attributes'].items()) for l in lines if l['zrid'] == 100003][0],
            [(l['zrid'], l['name']) for l in lines if near(tokens(l['description']))][:20],
            sorted(collections.Counter(name for l in lines for name in l['attributes']).items(),
                   key=lambda r: (-r[1], r[0]))[:10]]
        readme = (pathlib.Path(__file__).parents[2] / 'README.md').read_text()
        queries = readme[readme.index('Six questions'):].split('```sql\n')[1].split('```')[0].split(';\n')[:-1]
        with sqlite3.connect(self.path('out.db')) as db:
            self.assertEqual([db.execute(query).fetchall() for query in queries], expected)
            self.assertTrue(all(expected), expected)


# Two versions of a file: one item the same, one removed, one changed, one
# that loads only in OLD, one only in NEW, one added; the negative identifier,
# first in NEW, comes last, as the index orders identifiers unsigned.
OLD = [item(1, b'Same'), item(2, b'Gone'), item(3, b'Knife'), item(4, b'Broken', ql=None),
       item(5, b'Fine'), item(-1, b'Last')]
NEW = [item(-1, b'Last'), item(1, b'Same'), item(3, b'Knife', ql=b'12'), item(4, b'Broken'),
       item(5, b'Fine', ql=None), item(6, b'Fresh\t\xe9')]
# One member of RICH changed at a time, as (old bytes, new bytes).
MEMBER_EDITS = [(b'Percent="0"', b'Percent="1"'), (b'"-3"', b'"-4"'), (b'weapon', b'Armor'),
                (b'caf', b'cab'), (b'Wield', b'Wear'), (b'Name="Wait"', b'Name="Rest"'),
                (b'Name="b"', b'Name="c"')]


def member_changes(a, b):
    """(path, old, new) for each compared member in which two exports of an item
    differ: all but the identifier, keyed ones key by key, the folders as one."""
    changes = []
    for member in list(RICH_JSON)[1:]:
        if isinstance(a[member], dict):
            changes += [(f'{member}.{k}', a[member].get(k), b[member].get(k))
                        for k in sorted(a[member] | b[member]) if a[member].get(k) != b[member].get(k)]
        elif a[member] != b[member]:
            changes.append((member, a[member], b[member]))
    return changes


def as_text(differences):
    field = lambda text: text.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ')
    value = lambda v: json.dumps(v, ensure_ascii=False, separators=(',', ':'))
    return ''.join(f'{sign}\t{zrid}\t{field(name)}\n' + ''.join(
        f'\t{field(path)}\t{value(a)} -> {value(b)}\n' for path, a, b in changes)
        for sign, zrid, name, changes in differences)


class Difference(CliTestCase):
    def diff(self, old, new, *args):
        return self.run_cli('diff', *args, self.items_file('old.xml', *old), self.items_file('new.xml', *new))

    def differences(self, old, new):
        """From both files' JSON exports, in index order: items only in NEW (+),
        only in OLD (-), or in both with member changes (~)."""
        before, after = ({line['zrid']: line for line in self.export_lines(*items)} for items in (old, new))
        found = []
        for zrid in sorted(before.keys() | after.keys(), key=lambda z: z % (1 << 32)):
            a, b = before.get(zrid), after.get(zrid)
            if a is None or b is None:
                found.append(('-' if b is None else '+', zrid, (a or b)['name'], []))
            elif changes := member_changes(a, b):
                found.append(('~', zrid, b['name'], changes))
        return found

    def test_text_and_json_lines_report_what_the_json_exports_differ_in(self):
        # A weapon met first makes its skill's folder come first: item 11's folders change order.
        first_a = item(9, b'W9', type_=b'Weapon', body=b'<AtkValue Name="A" Percent="1"/>')
        for old, new in [(OLD, NEW), (OLD, OLD[::-1]), (FILED[:2], [first_a, *FILED[:2]])] + [
                ([RICH], [RICH.replace(*e)]) for e in MEMBER_EDITS]:
            expected = self.differences(old, new)
            text, lines = self.diff(old, new), self.diff(old, new, '--format', 'jsonl')
            self.assertEqual((text.returncode, lines.returncode), (4, 4) if expected else (0, 0))
            self.assertEqual(text.stdout.decode('utf-8'), as_text(expected))
            self.assertEqual([(d['change'], d['zrid'], d['name'], [tuple(m.values()) for m in d.get('members', [])])
                              for d in map(json.loads, lines.stdout.splitlines())], expected)

    def test_unreadable_files_end_with_exit_1_and_wrong_usage_of_diff_or_export_with_2(self):
        missing, readable = self.path('missing.xml'), self.items_file('a.xml', RICH)
        self.assertExitsWith(1, ['diff', missing, readable], ['diff', readable, missing])
        self.assertExitsWith(2, ['diff', 'one'], ['export', '--format', 'sqlite', 'items.xml'], ['export', '--output'],
                             ['export', '--force', 'items.xml'], ['export', '--format', 'csv', 'items.xml'])


MISSING = object()


def member_rows(exports):
    """(path, values) for each member any exported item has, in member order:
    the JSON export's members but the identifier and folders, keyed ones key by
    key, MISSING where an item lacks the key."""
    rows = []
    for member in list(RICH_JSON)[1:-1]:
        if isinstance(exports[0][member], dict):
            rows += [(f'{member}.{k}', [e[member].get(k, MISSING) for e in exports])
                     for k in sorted(set().union(*(e[member] for e in exports)))]
        else:
            rows.append((member, [e[member] for e in exports]))
    return rows


class Compare(CliTestCase):
    def compare(self, items, *args):
        return self.run_cli('compare', *args[:-1], self.items_file('items.xml', *items), *args[-1])

    def test_text_and_json_lines_hold_the_json_exports_members_side_by_side(self):
        items = [RICH, PLAIN, RICH.replace(b'ZRID="5"', b'ZRID="6"').replace(b'"-3"', b'"-4"')]
        exports = {line['zrid']: line for line in self.export_lines(*items)}
        order = [6, 7, 5]
        for differences in ([], ['--differences']):
            rows = [(path, values) for path, values in member_rows([exports[z] for z in order])
                    if not differences or any(v != values[0] for v in values)]
            cell = lambda v: '' if v is MISSING else json.dumps(v, ensure_ascii=False, separators=(',', ':'))
            text = self.compare(items, *differences, list(map(str, order)))
            lines = self.compare(items, '--format', 'jsonl', *differences, list(map(str, order)))
            self.assertEqual((text.returncode, lines.returncode, text.stderr), (0, 0, b''))
            self.assertEqual(text.stdout.decode('utf-8'), 'member\t6\t7\t5\n' + ''.join(
                path + ''.join('\t' + cell(v) for v in values) + '\n' for path, values in rows))
            header, *objects = map(json.loads, lines.stdout.splitlines())
            self.assertEqual(header, {'zrids': order, 'loaded': [True] * 3})
            self.assertEqual([(o['member'], o['values']) for o in objects],
                             [(path, [None if v is MISSING else v for v in values]) for path, values in rows])

    def test_differences_are_the_members_diff_reports_changed_but_the_folders(self):
        for edit in MEMBER_EDITS:
            changed = RICH.replace(*edit)
            diff = json.loads(self.diff_lines([RICH], [changed]))
            expected = [(m['path'], [m['old'], m['new']]) for m in diff['members'] if m['path'] != 'folders']
            done = self.compare([RICH, changed.replace(b'ZRID="5"', b'ZRID="6"')], '--format', 'jsonl',
                                '--differences', ['5', '6'])
            self.assertEqual([(o['member'], o['values']) for o in map(json.loads, done.stdout.splitlines()[1:])],
                             expected, edit)

    def diff_lines(self, old, new):
        return self.run_cli('diff', '--format', 'jsonl', self.items_file('old.xml', *old),
                            self.items_file('new.xml', *new)).stdout

    def test_items_that_do_not_load_end_with_3_and_say_so_and_wrong_usage_with_2(self):
        failed = '--failed to load item data--'
        done = self.compare([PLAIN], ['7', '99'])
        self.assertEqual(done.returncode, 3)
        lines = done.stdout.decode('utf-8').splitlines()
        self.assertEqual(lines[:2], ['member\t7\t99', f'name\t"Plain"\t{failed}'])
        self.assertTrue(all(line.endswith('\t') for line in lines[2:]), lines)
        none = self.compare([PLAIN], '--differences', ['98', '99'])
        self.assertEqual((none.returncode, none.stdout.decode()), (3, f'member\t98\t99\nname\t{failed}\t{failed}\n'))
        lines = self.compare([PLAIN], '--format', 'jsonl', ['99', '7']).stdout.splitlines()
        self.assertEqual(json.loads(lines[0]), {'zrids': [99, 7], 'loaded': [False, True]})
        path = self.items_file('items.xml', PLAIN)
        self.assertExitsWith(2, ['compare', path, '7'], ['compare', path, *['7'] * 9], ['compare', path, '7', 'x'],
                             ['compare', '--format', 'csv', path, '7', '7'], ['compare', path, '7', '7', '--differences'])


if __name__ == '__main__':
    unittest.main()
